#include "ui/modal_dialog.h"

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "ui/error_report.h"
#include "ui/window.h"

namespace ui {

namespace {

// Posted to the dialog from WM_INITDIALOG; it arrives once the modal loop runs.
constexpr UINT kModalLoopRunning = WM_APP + 0x3F0;

// A DLGTEMPLATE with no items: header, no menu, default class, the title in
// UTF-16, all WORD-aligned.
std::vector<WORD> MakeTemplate(const std::string& title, DWORD style) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = style;
  header->dwExtendedStyle = 0;
  header->cdit = 0;
  words.push_back(0);  // no menu
  words.push_back(0);  // default dialog class
  int length = ::MultiByteToWideChar(CP_ACP, 0, title.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, title.c_str(), -1, wide.data(), length);
  for (wchar_t c : wide) words.push_back(static_cast<WORD>(c));
  if (words.size() % 2) words.push_back(0);  // DWORD alignment for the end
  return words;
}

}  // namespace

INT_PTR ModalDialog::ShowModal(HWND owner) {
  std::vector<WORD> dialogTemplate = MakeTemplate(title_, style_);
  INT_PTR code = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr),
                                           reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()), owner,
                                           &ModalDialog::Procedure, reinterpret_cast<LPARAM>(this));
  if (code == -1) throw std::runtime_error(LastErrorText());
  return code;
}

bool ModalDialog::HandleMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

void ModalDialog::CentreOverOwner() {
  RECT own{};
  RECT mine{};
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  if (!owner || !::GetWindowRect(owner, &own) || !::GetWindowRect(hwnd_, &mine)) return;
  int width = mine.right - mine.left;
  int height = mine.bottom - mine.top;
  int x = own.left + ((own.right - own.left) - width) / 2;
  int y = own.top + ((own.bottom - own.top) - height) / 2;
  ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ModalDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<ModalDialog*>(lParam);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;

  INT_PTR result = FALSE;
  if (message == WM_INITDIALOG) {
    bool ok = RunReportingErrors(self->seams_.dialogs, [&] {
      RECT outer{0, 0, self->clientSize_.cx, self->clientSize_.cy};
      DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_STYLE));
      DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
      ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);
      ::SetWindowPos(hwnd, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      self->CentreOverOwner();
      self->OnInitDialog();
      if (!self->HandleMessage(message, wParam, lParam, result)) result = TRUE;
    });
    if (!ok) {
      ::EndDialog(hwnd, IDCANCEL);
      return TRUE;
    }
    ::PostMessageA(hwnd, kModalLoopRunning, 0, 0);
    return result;
  }
  if (message == kModalLoopRunning) {
    RunReportingErrors(self->seams_.dialogs, [&] { self->seams_.modal.ModalShown(hwnd); });
    return TRUE;
  }
  bool handled = false;
  RunReportingErrors(self->seams_.dialogs, [&] { handled = self->HandleMessage(message, wParam, lParam, result); });
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  if (!handled) return FALSE;
  // Messages that return a value of their own (brushes of WM_CTLCOLOR*) pass
  // it back directly; the rest through DWLP_MSGRESULT.
  if ((message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) || message == WM_INITDIALOG) return result;
  ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace ui
