// Starts the real packager with each start-up show state and checks how its
// main window comes up: maximised for 3, minimised and not active for 7,
// normal otherwise. Each run is closed again and must end with exit code 0.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Found {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<Found*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  char className[32] = {};
  ::GetClassNameA(window, className, sizeof className);
  if (owner == found->processId && std::string(className) == "TMainForm" && ::IsWindowVisible(window)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

bool Check(const char* exe, WORD showState) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showState;
  PROCESS_INFORMATION process{};
  std::string commandLine = std::string("\"") + exe + "\"";
  if (!::CreateProcessA(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s\n", exe);
    return false;
  }
  Found found{process.dwProcessId, nullptr};
  for (int i = 0; i < 300 && !found.window; ++i) {
    ::Sleep(100);
    ::EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
  }
  bool ok = found.window != nullptr;
  if (ok) {
    ::Sleep(300);
    bool zoomed = ::IsZoomed(found.window);
    bool iconic = ::IsIconic(found.window);
    bool active = ::GetForegroundWindow() == found.window;
    switch (showState) {
      case SW_SHOWMAXIMIZED: ok = zoomed && !iconic; break;
      case SW_SHOWMINNOACTIVE: ok = iconic && !active; break;
      default: ok = !zoomed && !iconic; break;
    }
    std::printf("show state %u: zoomed %d iconic %d active %d -> %s\n", showState, zoomed, iconic, active,
                ok ? "ok" : "WRONG");
    ::PostMessageA(found.window, WM_CLOSE, 0, 0);
  } else {
    std::fprintf(stderr, "show state %u: no main window\n", showState);
    ::TerminateProcess(process.hProcess, 99);
  }
  DWORD exitCode = 99;
  if (::WaitForSingleObject(process.hProcess, 15000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &exitCode);
  if (exitCode != 0) {
    std::fprintf(stderr, "show state %u: exit code %lu\n", showState, exitCode);
    ok = false;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  bool ok = true;
  for (WORD state : {WORD{SW_SHOWMAXIMIZED}, WORD{SW_SHOWMINNOACTIVE}, WORD{SW_SHOWNORMAL}, WORD{SW_HIDE}}) {
    ok = Check(argv[1], state) && ok;
  }
  std::fflush(stdout);
  return ok ? 0 : 1;
}
