# Shared settings for the project's own targets.

# Warnings on, at zero in our code. Third-party headers come in as SYSTEM.
function(quorvel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
    $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
endfunction()

if(QUORVEL_SANITIZE)
  # float-cast-overflow is not part of "undefined"; huge coordinates in
  # movies make it matter.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined,float-cast-overflow)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(WIN32)
  # Self-contained executables that import only Windows system DLLs; 32-bit
  # programs may use up to 4 GiB on a 64-bit Windows.
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--large-address-aware)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# quorvel_library(name SOURCES ... [DEPS ...]): a static library of our own.
function(quorvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  quorvel_warnings(${name})
endfunction()

# quorvel_gtest(name SOURCES ... [DEPS ...]): a GoogleTest executable whose
# cases CTest discovers. On Windows builds CTest runs it through Wine; a cold
# Wine needs far longer than CTest's default discovery timeout.
function(quorvel_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  quorvel_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS ${QUORVEL_TEST_LABEL})
endfunction()
