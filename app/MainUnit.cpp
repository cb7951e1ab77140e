#include "app/MainUnit.h"

#include "app/main_menu.h"
#include "ui/application_title.h"
#include "ui/menu.h"

namespace app {

namespace {

constexpr const char* kClassName = "TMainForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

}  // namespace

TMainForm::TMainForm(ui::Seams& seams, std::vector<std::string> arguments)
    : ui::Window(seams), arguments_(std::move(arguments)) {
  WNDCLASSEXA windowClass{};
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kClassName;
  windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = ::LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(1));
  windowClass.hIconSm = windowClass.hIcon;
  RegisterWindowClass(windowClass);

  ui::UniqueMenu menu = ui::BuildMenuBar(MainMenuLayout());
  RECT outer{0, 0, kClientSize.cx, kClientSize.cy};
  ::AdjustWindowRectEx(&outer, kStyle, TRUE, 0);
  Create(0, kClassName, ui::kApplicationTitle, kStyle, kPosition.x, kPosition.y, outer.right - outer.left,
         outer.bottom - outer.top, nullptr, menu.Get());
  mainMenu_ = menu.Release();
}

void TMainForm::ShowAtStart() {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  ::GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWNORMAL;
  show = show == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : show == SW_SHOWMINNOACTIVE ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
  ::ShowWindow(Handle(), show);
  ::UpdateWindow(Handle());
}

void TMainForm::FormCreate() {}

void TMainForm::MExitClick() { ::SendMessageA(Handle(), WM_CLOSE, 0, 0); }

void TMainForm::OnCommand(UINT id) {
  switch (id) {
    case kMExit:
      MExitClick();
      break;
    default:
      break;
  }
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 || HIWORD(wParam) == 1) OnCommand(LOWORD(wParam));
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace app
