#include "packaging/ProgressUnit.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "packaging/texts.h"

namespace packaging {

namespace {

// A caption without any title-bar button: no system menu at all.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

HWND CreateChild(HWND parent, const char* windowClass, const char* text, DWORD style, const RECT& place) {
  return ::CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top, place.right,
                           place.bottom, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TProgressForm::TProgressForm(ui::Seams& seams, HWND owner) : ui::Window(seams) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  RegisterWindowClass(ClassDescription(kClassName, IDC_ARROW, COLOR_BTNFACE));

  RECT outer{0, 0, progress_layout::kClientSize.cx, progress_layout::kClientSize.cy};
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  int x = 0;
  int y = 0;
  RECT own{};
  if (owner && ::GetWindowRect(owner, &own)) {
    x = own.left + ((own.right - own.left) - width) / 2;
    y = own.top + ((own.bottom - own.top) - height) / 2;
  }
  Create(kExStyle, kClassName, texts::kProgressCaption, kStyle, x, y, width, height, owner, nullptr);
  CreateControls();
}

void TProgressForm::CreateControls() {
  // MS Sans Serif, 8 points at 96 dots per inch.
  font_.Reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
  progressLabel_ = CreateChild(Handle(), "STATIC", texts::kProgressLabel, SS_CENTER, progress_layout::kProgressLabel);
  progressBar_ = CreateChild(Handle(), PROGRESS_CLASSA, "", 0, progress_layout::kProgressBar);
  for (HWND child : {progressLabel_, progressBar_}) {
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }
  // A themed bar is drawn smooth and glides toward a new position on timers,
  // which never run while the writer holds the thread; the classic look
  // draws blocks and shows each position at once.
  ::SetWindowTheme(progressBar_, L" ", L" ");
  ::SendMessageA(progressBar_, PBM_SETRANGE32, 0, progress_layout::kBarMaximum);
  ::SendMessageA(progressBar_, PBM_SETPOS, 0, 0);
}

void TProgressForm::Show() { ::ShowWindow(Handle(), SW_SHOW); }

void TProgressForm::SetProgress(int position) {
  ::SendMessageA(progressBar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  ::UpdateWindow(progressBar_);
}

LRESULT TProgressForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The single message pass at the start of a build could deliver Alt+F4;
  // the window stays until the writer removes it.
  if (message == WM_CLOSE) return 0;
  return Default(message, wParam, lParam);
}

}  // namespace packaging
