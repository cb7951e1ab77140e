// Reads the packager's movie list from outside, as another program would:
// waits for the main window and for `count` finished items (captions with
// their size), prints each caption on a line, then closes the packager.
// Exit code 0 when the items arrived in time, 1 otherwise.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Reads one item's caption through memory in the packager's process: the
// list view writes its text only into its own address space.
std::string ReadCaption(HWND listView, HANDLE process, int item) {
  constexpr SIZE_T kTextSize = 512;
  void* remote = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return "";
  LVITEMA request{};
  request.iSubItem = 0;
  request.cchTextMax = kTextSize;
  request.pszText = static_cast<char*>(remote) + sizeof(LVITEMA);
  ::WriteProcessMemory(process, remote, &request, sizeof request, nullptr);
  ::SendMessageA(listView, LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(remote));
  char text[kTextSize] = {};
  ::ReadProcessMemory(process, request.pszText, text, kTextSize - 1, nullptr);
  ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  int wanted = argc > 1 ? std::atoi(argv[1]) : 1;
  DWORD deadline = ::GetTickCount() + 30000;
  HWND main = nullptr;
  while (!(main = ::FindWindowA("TMainForm", "Quorvel EXE Packager")) && ::GetTickCount() < deadline) ::Sleep(100);
  if (!main) {
    std::fprintf(stderr, "no main window\n");
    return 1;
  }
  HWND listView = ::FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(main, &processId);
  HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  if (!listView || !process) {
    std::fprintf(stderr, "no list view\n");
    return 1;
  }
  bool complete = false;
  while (!complete && ::GetTickCount() < deadline) {
    int count = static_cast<int>(::SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
    complete = count >= wanted;
    for (int i = 0; complete && i < count; ++i) {
      complete = ReadCaption(listView, process, i).find("Bytes)") != std::string::npos;
    }
    if (!complete) ::Sleep(100);
  }
  int count = static_cast<int>(::SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) std::printf("%s\n", ReadCaption(listView, process, i).c_str());
  std::fflush(stdout);
  ::CloseHandle(process);
  ::PostMessageA(main, WM_CLOSE, 0, 0);
  return complete ? 0 : 1;
}
