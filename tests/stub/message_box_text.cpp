// Test helper: waits for a top-level window with the given caption (a message
// box of another program), prints the text of its static controls, one per
// line, and presses its OK button. Exit code 0 when it was found, 1 if not.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

BOOL CALLBACK PrintStatic(HWND child, LPARAM) {
  char windowClass[32] = {};
  ::GetClassNameA(child, windowClass, sizeof windowClass);
  if (lstrcmpiA(windowClass, "Static") != 0) return TRUE;
  char text[4096] = {};
  ::SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  if (text[0]) std::printf("%s\n", text);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  for (int attempt = 0; attempt < 300; ++attempt) {
    HWND box = ::FindWindowA(nullptr, argv[1]);
    if (box) {
      ::Sleep(300);  // let it finish drawing
      ::EnumChildWindows(box, PrintStatic, 0);
      std::fflush(stdout);
      ::PostMessageA(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    ::Sleep(100);
  }
  return 1;
}
