# Cross-compiling for 32-bit Windows with mingw-w64 (posix thread model, so
# that std::thread and std::mutex exist). Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR X86)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

# Libraries we cross-build ourselves live in a cache outside the clone
# (scripts/build-win32-deps.sh); the same prefix serves every clone.
if(NOT QUORVEL_WIN32_PREFIX)
  if(DEFINED ENV{QUORVEL_WIN32_PREFIX})
    set(QUORVEL_WIN32_PREFIX $ENV{QUORVEL_WIN32_PREFIX})
  else()
    set(QUORVEL_WIN32_PREFIX $ENV{HOME}/.cache/quorvel/win32-prefix)
  endif()
endif()
set(QUORVEL_WIN32_PREFIX ${QUORVEL_WIN32_PREFIX} CACHE PATH "Prefix of the cross-built libraries")

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32 ${QUORVEL_WIN32_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
