#include "about/AboutUnit.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "about/about_logo.h"
#include "about/about_texts.h"
#include "about/help_links.h"
#include "ui/window.h"

namespace about {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

std::string JoinedLegalNotice() {
  std::string text;
  for (const char* line : texts::kLegalNotice) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

// A multi-line edit inside a dialog closes the dialog on Esc (it posts
// WM_CLOSE to its parent). The About window ignores Esc, so the notice leaves
// that key to the dialog manager, which turns it into IDCANCEL, ignored too.
LRESULT CALLBACK NoticeLeavesEscToTheDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR) {
  if (message == WM_GETDLGCODE && lParam) {
    const MSG* pending = reinterpret_cast<const MSG*>(lParam);
    if (pending->message == WM_KEYDOWN && pending->wParam == VK_ESCAPE) {
      return ::DefSubclassProc(window, message, wParam, lParam) & ~static_cast<LRESULT>(DLGC_WANTMESSAGE);
    }
  }
  if ((message == WM_KEYDOWN || message == WM_CHAR) && wParam == VK_ESCAPE) return 0;
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &NoticeLeavesEscToTheDialog, 0);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

SIZE TextSize(HWND window, HFONT font, const std::string& text) {
  ui::WindowDc dc(window);
  SIZE size{};
  if (!dc) return size;
  ui::ScopedSelect selected(dc.Get(), font);
  ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

}  // namespace

TAboutForm::TAboutForm(ui::Seams& seams)
    : ui::ModalDialog(seams, texts::kCaption, kDialogStyle, layout::kClientSize), mxFlatPanel1(seams) {
  // The stored layout of the logo strip.
  mxFlatPanel1.SetColor(FixedColor(RGB(255, 255, 255)));
  mxFlatPanel1.SetBorderWidth(2);
  mxFlatPanel1.SetFlat(true);
  mxFlatPanel1.SetShowBorder(true);
  mxFlatPanel1.SetBorderColor(clBtnShadow);
  mxFlatPanel1.SetActivate(true);
  mxFlatPanel1.SetCursor(IDC_HAND);
  mxFlatPanel1.OnClick = [this] { mxFlatPanel1Click(); };
  Image1.OnClick = [this] { Image1Click(); };
}

HWND TAboutForm::CreateControl(const char* windowClass, const char* text, DWORD style, const layout::Place& place) {
  int width = place.width;
  int height = place.height;
  if (width == 0) {
    // Labels size themselves to their text.
    SIZE size = TextSize(Handle(), font_.Get(), text);
    width = size.cx;
    height = size.cy;
  }
  HWND control = ::CreateWindowExA(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top, width,
                                   height, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
  if (!control) throw std::runtime_error(ui::LastErrorText());
  ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  return control;
}

void TAboutForm::OnInitDialog() {
  // MS Sans Serif, 8 points at 96 dots per inch.
  font_.Reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
  ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

  // Tab order 0: the logo strip with the picture painted inside it.
  Image1.SetBounds(layout::kImage1.x, layout::kImage1.y, 0, 0);
  Image1.SetBitmap(MakeDibSection(DecodeLogo()));
  mxFlatPanel1.AddGraphicChild(Image1);
  const layout::Place& strip = layout::kMxFlatPanel1;
  mxFlatPanel1.Create(Handle(), RECT{strip.left, strip.top, strip.left + strip.width, strip.top + strip.height},
                      strip.id);
  ::SendMessageA(mxFlatPanel1.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

  CreateControl("STATIC", texts::kVersionLine, SS_LEFT | SS_NOPREFIX, layout::kLabel1);
  CreateControl("STATIC", texts::kRightsNotice, SS_LEFT | SS_NOPREFIX, layout::kLabel3);
  // Tab order 1 and 2.
  HWND memo = CreateControl("EDIT", JoinedLegalNotice().c_str(), ES_MULTILINE | ES_READONLY | WS_TABSTOP,
                            layout::kMemo1);
  ::SetWindowSubclass(memo, &NoticeLeavesEscToTheDialog, 0, 0);
  CreateControl("BUTTON", texts::kOk, BS_DEFPUSHBUTTON | WS_TABSTOP, layout::kButton1);
  ::SendMessageA(Handle(), DM_SETDEFID, IDOK, 0);
}

bool TAboutForm::HandleMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG: {
      // Focus goes to the first control in tab order that takes it, the
      // notice, with nothing selected (the dialog manager would select it all).
      HWND memo = ::GetDlgItem(Handle(), layout::kMemo1.id);
      ::SetFocus(memo);
      ::SendMessageA(memo, EM_SETSEL, 0, 0);
      result = FALSE;
      return true;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
        Button1Click();
        return true;
      }
      // Esc arrives as IDCANCEL; the window does not close by it.
      if (LOWORD(wParam) == IDCANCEL) return true;
      return false;
    case WM_CLOSE:  // the close box (and Alt+F4)
      End(IDCANCEL);
      return true;
    case WM_CTLCOLORSTATIC: {
      // Labels and the read-only notice sit on the button face.
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
      result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
      return true;
    }
    default:
      return false;
  }
}

void TAboutForm::mxFlatPanel1Click() { OpenWebPage(Handle(), GetSeams().dialogs); }

void TAboutForm::Image1Click() { OpenWebPage(Handle(), GetSeams().dialogs); }

void TAboutForm::Button1Click() { End(IDOK); }

void ShowAboutWindow(HWND owner, ui::Seams& seams) {
  TAboutForm AboutForm(seams);
  AboutForm.ShowModal(owner);
}

}  // namespace about
