#include "stub/licences_window.h"

#include <stdexcept>
#include <string>

#include "ui/handles.h"

namespace stub {
namespace {

constexpr const char* kClassName = "QuorvelLicencesWindow";
// The notices are written for 80 columns.
constexpr int kColumns = 80;
constexpr int kRows = 32;

// The edit control wants CR LF between lines.
std::string WindowsLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 32);
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return lines;
}

}  // namespace

LicencesWindow::LicencesWindow(ui::Seams& seams, HWND owner, std::string_view text) : ui::Window(seams) {
  RegisterWindowClass(ClassDescription(kClassName, IDC_ARROW, COLOR_BTNFACE));
  auto* const font = static_cast<HFONT>(::GetStockObject(ANSI_FIXED_FONT));
  RECT outer{0, 0, kColumns * 8, kRows * 16};
  if (const ui::WindowDc screen(nullptr); screen) {
    const ui::ScopedSelect select(screen.Get(), font);
    TEXTMETRICA metrics{};
    if (::GetTextMetricsA(screen.Get(), &metrics)) {
      outer = RECT{0, 0, kColumns * metrics.tmAveCharWidth, kRows * metrics.tmHeight};
    }
  }
  // Room for the edit control's frame, margins and scroll bar.
  outer.right += 2 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL) + 8;
  ::AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
  Create(0, kClassName, "Licences", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
         outer.bottom - outer.top, owner, nullptr);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  edit_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                            0, 0, client.right, client.bottom, Handle(), nullptr, ::GetModuleHandleA(nullptr),
                            nullptr);
  if (!edit_) throw std::runtime_error(ui::LastErrorText());
  // Monospaced, so that the notices keep their columns; no length limit
  // below the text's own.
  ::SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  const std::string lines = WindowsLines(text);
  ::SendMessageA(edit_, EM_SETLIMITTEXT, lines.size() + 1, 0);
  ::SetWindowTextA(edit_, lines.c_str());
}

void LicencesWindow::ShowInFront() {
  ::SendMessageA(edit_, EM_SETSEL, 0, 0);
  ::SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
  ::ShowWindow(Handle(), SW_SHOWNORMAL);
  ::SetForegroundWindow(Handle());
  ::SetFocus(edit_);
}

LRESULT LicencesWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (edit_) ::MoveWindow(edit_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_CLOSE:
      ::ShowWindow(Handle(), SW_HIDE);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace stub
