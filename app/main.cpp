// Entry point of the packager.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>
#include <string>
#include <vector>

#include "app/MainUnit.h"
#include "ui/message_loop.h"
#include "ui/win32_seams.h"
#include "ui/window.h"

namespace {

// COM for the GUI thread, uninitialised at the end only when it was
// initialised here.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitialize(nullptr)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
};

void InitialiseCommonControls() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ComApartment com;
  InitialiseCommonControls();
  ui::Win32Seams realSeams;
  ui::Seams seams = realSeams.Get();

  try {
    app::TMainForm mainForm(seams, {});
    mainForm.ShowAtStart();
    return ui::RunMessageLoop();
  } catch (const std::exception& error) {
    ::MessageBoxA(nullptr, error.what(), "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
  }
}
