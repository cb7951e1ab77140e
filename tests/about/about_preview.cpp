// A small program that opens the About window over a stand-in main window,
// with the real seams (the shell, the modal loop), so that the window can be
// seen, clicked and photographed as the packager shows it. It ends when the
// About window closes.
#include <windows.h>

#include "about/AboutUnit.h"
#include "ui/win32_seams.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HWND owner = ::CreateWindowExA(0, "STATIC", "Quorvel EXE Packager", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 223, 157,
                                 574, 395, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!owner) return 1;
  ui::Win32Seams seams;
  ui::Seams live = seams.Get();
  about::ShowAboutWindow(owner, live);
  ::DestroyWindow(owner);
  return 0;
}
