#include "packaging/CompileUnit.h"

#include "packaging/texts.h"
#include "sys/file_system.h"

namespace packaging {

namespace {

// Fixed border, caption with a close box only.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace

TCompileForm::TCompileForm(ui::Seams& seams)
    : ui::ModalDialog(seams, texts::kPropertiesCaption, kStyle, compile_layout::kClientSize),
      saveDlg_(seams.dialogs, ui::FileDialog::Kind::kSave) {
  FormCreate();
}

void TCompileForm::FormCreate() { buildFlag_ = false; }

HWND TCompileForm::CreateControl(const char* windowClass, const char* text, DWORD style, DWORD exStyle,
                                 const compile_layout::Place& place) {
  HWND control = ::CreateWindowExA(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                   place.width, place.height, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                                   ::GetModuleHandleA(nullptr), nullptr);
  ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  return control;
}

void TCompileForm::OnInitDialog() {
  using namespace compile_layout;
  // MS Sans Serif, 8 points at 96 dots per inch.
  font_.Reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
  // Created in tab order, which is also their z-order. Without
  // ES_WANTRETURN, Enter in the memo presses the default button as well.
  FileMemo = CreateControl("EDIT", "", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY, WS_EX_CLIENTEDGE,
                           kFileMemo);
  Label1 = CreateControl("STATIC", texts::kExeFileLabel, SS_LEFT, 0, kLabel1);
  EXEEdit = CreateControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEXEEdit);
  SaveBtn = CreateControl("BUTTON", texts::kBrowse, WS_TABSTOP | BS_PUSHBUTTON, 0, kSaveBtn);
  ReleaseCheck = CreateControl("BUTTON", texts::kReleaseCheck, WS_TABSTOP | BS_AUTOCHECKBOX, 0, kReleaseCheck);
  BuildBtn = CreateControl("BUTTON", texts::kBuild, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, kBuildBtn);
  CancelBtn = CreateControl("BUTTON", texts::kCancel, WS_TABSTOP | BS_PUSHBUTTON, 0, kCancelBtn);
  ::SendMessageA(Handle(), DM_SETDEFID, IDOK, 0);
  FormShow();
}

void TCompileForm::FormShow() {
  // The two opening lines, then one path per line.
  std::string text = std::string(texts::kMemoIntroduction) + "\r\n";
  for (const std::string& path : *fileList_) text += "\r\n" + path;
  ::SetWindowTextA(FileMemo, text.c_str());
}

void TCompileForm::SaveBtnClick() {
  saveDlg_.SetFilter(texts::kSaveFilter);
  saveDlg_.SetDefaultExtension(texts::kSaveExtension);
  if (saveDlg_.Execute(Handle())) ::SetWindowTextA(EXEEdit, saveDlg_.FileName().c_str());
}

void TCompileForm::BuildBtnClick() {
  releaseFlag_ = ::SendMessageA(ReleaseCheck, BM_GETCHECK, 0, 0) == BST_CHECKED;
  fileName_ = WindowText(EXEEdit);
  ui::Dialogs& dialogs = GetSeams().dialogs;
  if (fileName_.empty()) {
    dialogs.ShowMessageBox({Handle(), texts::kInputFileName, texts::kErrorCaption, MB_OK});
    return;
  }
  if (sys::FileExists(fileName_) &&
      dialogs.ShowMessageBox({Handle(), texts::kFileExists, texts::kMessageCaption, MB_YESNO | MB_DEFBUTTON1}) !=
          IDYES) {
    return;
  }
  buildFlag_ = true;
  End(IDOK);
}

void TCompileForm::CancelBtnClick() { End(IDCANCEL); }

bool TCompileForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      // Focus on the first tab stop without the dialog manager selecting
      // all of the memo's text.
      ::SetFocus(FileMemo);
      result = FALSE;
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (HIWORD(wParam) != BN_CLICKED) return false;
      if (id == compile_layout::kBuildBtn.id) {
        BuildBtnClick();
      } else if (id == compile_layout::kCancelBtn.id) {
        CancelBtnClick();
      } else if (id == compile_layout::kSaveBtn.id) {
        SaveBtnClick();
      } else if (id != IDCANCEL) {
        return false;
      }
      // IDCANCEL comes from Esc, which this window does not answer.
      return true;
    }
    case WM_CLOSE:
      CancelBtnClick();
      return true;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) != FileMemo) return false;
      ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
      result = reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
      return true;
    default:
      return false;
  }
}

}  // namespace packaging
