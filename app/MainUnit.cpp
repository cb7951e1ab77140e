#include "app/MainUnit.h"

#include <commctrl.h>

#include <stdexcept>

#include "app/flash_panel.h"
#include "app/main_menu.h"
#include "app/resource_ids.h"
#include "app/splitter.h"
#include "app/texts.h"
#include "app/thumbnail.h"
#include "ui/application_title.h"
#include "ui/menu.h"

namespace app {

namespace {

constexpr const char* kClassName = "TMainForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr UINT_PTR kAutoTimerId = 1;
constexpr COLORREF kGlyphKeyColour = RGB(255, 0, 255);

// Toolbar buttons have identifiers of their own, so that a button can run
// its own test before the command of the menu item it mirrors.
enum ToolButtonId : UINT {
  kToolButton1 = 200,
  kToolButton2,
  kToolButton4,
  kToolButton5,
  kToolButton6,
  kToolButton8,
};

struct ToolButtonLayout {
  UINT id;  // 0 for a separator
  int glyph;
  const char* hint;
};

constexpr ToolButtonLayout kToolButtons[] = {
    {kToolButton1, 0, texts::kHintOpenProject}, {kToolButton2, 1, texts::kHintSaveProject}, {0, 0, nullptr},
    {kToolButton4, 2, texts::kHintAddFlash},    {kToolButton5, 3, texts::kHintRemove},
    {kToolButton6, 4, texts::kHintClear},       {0, 0, nullptr},
    {kToolButton8, 5, texts::kHintBuild},
};
constexpr int kToolButtonWidth = 23;
constexpr int kToolButtonHeight = 22;
constexpr int kSeparatorWidth = 8;

// The glyph of each menu item; Exit and the Help menu have none.
int MenuGlyph(UINT command) {
  switch (command) {
    case kMOpenProject: return 0;
    case kMSaveProject: return 1;
    case kMAddFlash: return 2;
    case kMRemove: return 3;
    case kMClear: return 4;
    case kMBuildEXEfile: return 5;
    default: return -1;
  }
}

}  // namespace

PlayerFactory DefaultPlayerFactory() {
  return [](ui::Seams& seams, HWND parent, const RECT& place) {
    return std::make_unique<player::TShockwaveFlash>(seams, parent, place);
  };
}

TMainForm::TMainForm(ui::Seams& seams, std::vector<std::string> arguments, PlayerFactory makePlayer)
    : ui::Window(seams),
      arguments_(std::move(arguments)),
      makePlayer_(std::move(makePlayer)),
      openDlg_(seams.dialogs, ui::FileDialog::Kind::kOpen),
      saveDlg_(seams.dialogs, ui::FileDialog::Kind::kSave) {
  WNDCLASSEXA windowClass = ClassDescription(kClassName, IDC_ARROW, COLOR_BTNFACE);
  windowClass.hIcon = static_cast<HICON>(
      ::LoadImageA(windowClass.hInstance, MAKEINTRESOURCEA(IDI_MAIN_ICON), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  windowClass.hIconSm = static_cast<HICON>(
      ::LoadImageA(windowClass.hInstance, MAKEINTRESOURCEA(IDI_MAIN_ICON), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  RegisterWindowClass(windowClass);

  std::vector<HMENU> popups;
  ui::UniqueMenu menu = ui::BuildMenuBar(MainMenuLayout(), &popups);
  editMenu_ = popups.at(1);
  RECT outer{0, 0, kClientSize.cx, kClientSize.cy};
  ::AdjustWindowRectEx(&outer, kStyle, TRUE, 0);
  Create(0, kClassName, ui::kApplicationTitle, kStyle, kPosition.x, kPosition.y, outer.right - outer.left,
         outer.bottom - outer.top, nullptr, menu.Get());
  mainMenu_ = menu.Release();
}

TMainForm::~TMainForm() {
  // The player and the panels go before the window that hosts them.
  player_.reset();
  flashPanel_.reset();
  splitter_.reset();
}

void TMainForm::CreateControls() {
  font_.Reset(::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
  CreateImageLists();
  CreateToolBar();

  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  listView_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_AUTOARRANGE | LVS_SINGLESEL |
                                    LVS_SHAREIMAGELISTS,
                                0, kToolBarHeight, kInitialPaneWidth, 0, Handle(), nullptr, instance, nullptr);
  if (!listView_) throw std::runtime_error(ui::LastErrorText());
  ::SendMessageA(listView_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  ::SendMessageA(listView_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(imageList_.Get()));
  ApplySystemColours();

  splitter_ = std::make_unique<Splitter>(GetSeams(), Handle(), [this](int wanted) { DragSplitter(wanted); });
  flashPanel_ = std::make_unique<FlashPanelWindow>(GetSeams(), Handle(), [this](int width, int height) {
    bool changed = width != flashPanelSize_.cx || height != flashPanelSize_.cy;
    flashPanelSize_ = SIZE{width, height};
    if (changed) FlashPanelResize();
  });
  RECT client{};
  ::GetClientRect(flashPanel_->Handle(), &client);
  player_ = makePlayer_(GetSeams(), flashPanel_->Handle(), client);
  if (!player_) throw std::runtime_error("The player control cannot be created");
  flashPanel_->SetContent(player_->Handle());
  Layout();
}

void TMainForm::CreateImageLists() {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  imageList_.Reset(::ImageList_Create(kThumbnailSide, kThumbnailSide, ILC_COLOR24 | ILC_MASK, 1, 8));
  btnImageList_.Reset(::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 6, 0));
  if (!imageList_ || !btnImageList_) throw std::runtime_error(ui::LastErrorText());

  ui::UniqueBitmap placeholder(static_cast<HBITMAP>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(IDB_PLACEHOLDER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ui::UniqueBitmap glyphs(static_cast<HBITMAP>(
      ::LoadImageA(instance, MAKEINTRESOURCEA(IDB_TOOLBAR_GLYPHS), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!placeholder || !glyphs) throw std::runtime_error("The main window's pictures are missing");
  // The key colour marks what is transparent: the placeholder's outer ring
  // and letters, the glyphs' background.
  ::ImageList_AddMasked(imageList_.Get(), placeholder.Get(), kGlyphKeyColour);
  ::ImageList_AddMasked(btnImageList_.Get(), glyphs.Get(), kGlyphKeyColour);
}

void TMainForm::CreateToolBar() {
  toolBar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE |
                                   CCS_NOPARENTALIGN,
                               0, 0, kClientSize.cx, kToolBarHeight, Handle(), nullptr, ::GetModuleHandleA(nullptr),
                               nullptr);
  if (!toolBar_) throw std::runtime_error(ui::LastErrorText());
  ::SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(btnImageList_.Get()));
  std::vector<TBBUTTON> buttons;
  for (const ToolButtonLayout& layout : kToolButtons) {
    TBBUTTON button{};
    if (layout.id == 0) {
      button.iBitmap = kSeparatorWidth;  // a separator's width in pixels
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = layout.glyph;
      button.idCommand = static_cast<int>(layout.id);
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
      button.iString = -1;
    }
    buttons.push_back(button);
  }
  ::SendMessageA(toolBar_, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  ::SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(kToolButtonWidth, kToolButtonHeight));
}

void TMainForm::ApplySystemColours() {
  COLORREF workspace = ::GetSysColor(COLOR_APPWORKSPACE);
  ::SendMessageA(listView_, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(workspace));
  ::SendMessageA(listView_, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(workspace));
}

void TMainForm::FormCreate() {
  entryList_.clear();
  if (!arguments_.empty()) ::SetTimer(Handle(), kAutoTimerId, kAutoTimerInterval, nullptr);
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

HWND TMainForm::SplitterHandle() const { return splitter_ ? splitter_->Handle() : nullptr; }
HWND TMainForm::FlashPanel() const { return flashPanel_ ? flashPanel_->Handle() : nullptr; }

void TMainForm::Layout() {
  if (!listView_ || !splitter_ || !flashPanel_) return;
  RECT client{};
  ::GetClientRect(Handle(), &client);
  int width = client.right;
  int height = client.bottom - kToolBarHeight;
  if (height < 0) height = 0;
  ::MoveWindow(toolBar_, 0, 0, width, kToolBarHeight, TRUE);
  ::MoveWindow(listView_, 0, kToolBarHeight, paneWidth_, height, TRUE);
  ::MoveWindow(splitter_->Handle(), paneWidth_, kToolBarHeight, Splitter::kWidth, height, TRUE);
  int previewLeft = paneWidth_ + Splitter::kWidth;
  int previewWidth = width - previewLeft;
  if (previewWidth < 0) previewWidth = 0;
  ::MoveWindow(flashPanel_->Handle(), previewLeft, kToolBarHeight, previewWidth, height, TRUE);
}

void TMainForm::DragSplitter(int wantedPaneWidth) {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  int width = ClampPaneWidth(wantedPaneWidth, paneWidth_, client.right, kMinimumPaneWidth, Splitter::kWidth);
  if (width == paneWidth_) return;
  paneWidth_ = width;
  Layout();
}

void TMainForm::MeasureMenuGlyph(MEASUREITEMSTRUCT& item) const {
  item.itemWidth = 16;
  item.itemHeight = 16;
}

void TMainForm::DrawMenuGlyph(const DRAWITEMSTRUCT& item) const {
  int glyph = MenuGlyph(item.itemID);
  if (glyph < 0) return;
  int height = item.rcItem.bottom - item.rcItem.top;
  int x = item.rcItem.left;
  int y = item.rcItem.top + (height - 16) / 2;
  if (item.itemState & ODS_GRAYED) {
    ui::UniqueIcon icon(::ImageList_GetIcon(btnImageList_.Get(), glyph, ILD_NORMAL));
    ::DrawStateA(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0, x, y, 16, 16,
                 DST_ICON | DSS_DISABLED);
  } else {
    ::ImageList_Draw(btnImageList_.Get(), glyph, item.hDC, x, y, ILD_TRANSPARENT);
  }
}

void TMainForm::OnCommand(UINT id) {
  if (capturing_) {
    HoldBack([this, id] { OnCommand(id); });
    return;
  }
  switch (id) {
    case kMOpenProject: MOpenProjectClick(); break;
    case kMSaveProject: MSaveProjectClick(); break;
    case kMExit: MExitClick(); break;
    case kMContent: MContentClick(); break;
    case kMWebPage: MWebPageClick(); break;
    case kMAbout: MAboutClick(); break;
    case kMBuildEXEfile: MBuildEXEfileClick(); break;
    case kMAddFlash: MAddFlashClick(); break;
    case kMRemove: MRemoveClick(); break;
    case kMClear: MClearClick(); break;
    case kToolButton1: ToolButton1Click(); break;
    case kToolButton2: ToolButton2Click(); break;
    case kToolButton4: ToolButton4Click(); break;
    case kToolButton5: ToolButton5Click(); break;
    case kToolButton6: ToolButton6Click(); break;
    case kToolButton8: ToolButton8Click(); break;
    default: break;
  }
}

bool TMainForm::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code == TTN_GETDISPINFOA || header.code == TTN_GETDISPINFOW) {
    const char* hint = nullptr;
    for (const ToolButtonLayout& layout : kToolButtons) {
      if (layout.id != 0 && layout.id == header.idFrom) hint = layout.hint;
    }
    if (!hint) return false;
    if (header.code == TTN_GETDISPINFOA) {
      auto& info = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
      info.lpszText = const_cast<char*>(hint);
    } else {
      auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
      ::MultiByteToWideChar(CP_ACP, 0, hint, -1, info.szText, static_cast<int>(std::size(info.szText)));
      info.lpszText = info.szText;
    }
    result = 0;
    return true;
  }
  if (header.hwndFrom == listView_ && header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    bool selectionChanged = change.iItem >= 0 && (change.uChanged & LVIF_STATE) &&
                            ((change.uOldState ^ change.uNewState) & LVIS_SELECTED);
    // Deleting a selected item deselects it first; that is no selection by the user.
    if (selectionChanged && !deletingItem_) ListViewSelectItem(change.iItem);
    result = 0;
    return true;
  }
  return false;
}

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateControls();
      FormCreate();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Layout();
      return 0;
    case WM_COMMAND:
      if (lParam == 0 || reinterpret_cast<HWND>(lParam) == toolBar_) OnCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return result;
      return Default(message, wParam, lParam);
    }
    case WM_INITMENUPOPUP:
      if (reinterpret_cast<HMENU>(wParam) == editMenu_ && !HIWORD(lParam)) MEditClick();
      return 0;
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) return Default(message, wParam, lParam);
      MeasureMenuGlyph(item);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) return Default(message, wParam, lParam);
      DrawMenuGlyph(item);
      return TRUE;
    }
    case WM_TIMER:
      if (wParam == kAutoTimerId) {
        // During a capture the tick waits: the timer stays armed and comes again.
        if (!capturing_) AutoTimerTimer();
        return 0;
      }
      return Default(message, wParam, lParam);
    case WM_SYSCOLORCHANGE:
      ApplySystemColours();
      ::SendMessageA(listView_, message, wParam, lParam);
      ::SendMessageA(toolBar_, message, wParam, lParam);
      return 0;
    case kRunHeldBack:
      RunHeldBack();
      return 0;
    case WM_CLOSE:
      if (capturing_) {
        HoldBack([this] { ::PostMessageA(Handle(), WM_CLOSE, 0, 0); });
        return 0;
      }
      return Default(message, wParam, lParam);
    case WM_DESTROY:
      ::KillTimer(Handle(), kAutoTimerId);
      ::PostQuitMessage(0);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

void TMainForm::HoldBack(std::function<void()> action) { heldBack_.push_back(std::move(action)); }

void TMainForm::ScheduleHeldBack() {
  if (!heldBack_.empty()) ::PostMessageA(Handle(), kRunHeldBack, 0, 0);
}

void TMainForm::RunHeldBack() {
  // A capture running now holds them further; its end posts this again.
  while (!capturing_ && !heldBack_.empty()) {
    std::function<void()> action = std::move(heldBack_.front());
    heldBack_.pop_front();
    action();
  }
}

void TMainForm::MExitClick() { ::SendMessageA(Handle(), WM_CLOSE, 0, 0); }

void TMainForm::AutoTimerTimer() {
  ::KillTimer(Handle(), kAutoTimerId);
  if (!arguments_.empty()) AddMovie(arguments_.front());
}

}  // namespace app
