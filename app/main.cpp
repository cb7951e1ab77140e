// Entry point of the packager.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/startup.h"
#include "ui/win32_seams.h"

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
  return app::RunPackager(seams, ::GetCommandLineA());
}
