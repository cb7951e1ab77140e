#pragma once
// TMainForm: the program's only main window. It owns the movie list (the list
// view, EntryList and the thumbnail store ImageList), the player control of
// the preview, the open and save dialogs and AutoTimer, and routes every
// command of its menus and toolbar.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "player/ShockwaveFlash.h"
#include "ui/file_dialog.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace app {

class Splitter;
class FlashPanelWindow;

// Makes the preview's player control; a seam so that tests can make its
// creation fail.
using PlayerFactory =
    std::function<std::unique_ptr<player::TShockwaveFlash>(ui::Seams&, HWND parent, const RECT& place)>;
PlayerFactory DefaultPlayerFactory();

class TMainForm : public ui::Window {
 public:
  // The window's place and client size; every inner size derives from the
  // client size, so it governs over the frame the system draws around it.
  static constexpr POINT kPosition{223, 157};
  static constexpr SIZE kClientSize{566, 349};
  static constexpr int kToolBarHeight = 25;
  static constexpr int kInitialPaneWidth = 201;
  static constexpr int kMinimumPaneWidth = 200;
  static constexpr UINT kAutoTimerInterval = 300;
  static constexpr UINT kCapturePause = 300;

  // Creates the window (hidden) with its controls; `arguments` are the
  // command line's arguments after the program name.
  TMainForm(ui::Seams& seams, std::vector<std::string> arguments, PlayerFactory makePlayer = DefaultPlayerFactory());
  ~TMainForm() override;

  // Shows the window in the state the process was started with.
  void ShowAtStart();

  // The movie list.
  void AddMovie(const std::string& path);
  void RemoveMovie(int index);
  void RemoveAllMovies();
  // The preview.
  void PlayMovie(int index);
  // The package writer: shows the progress window while it writes; returns
  // "Mission Accomplished" or "Error: " and the failure's message.
  std::string BuildPackage(const std::vector<std::string>& paths, bool releaseFlag, const std::string& target);

  // Commands.
  void MOpenProjectClick();
  void MSaveProjectClick();
  void MAddFlashClick();
  void MRemoveClick();
  void MClearClick();
  void MEditClick();
  void MExitClick();
  void MBuildEXEfileClick();
  void ToolButton8Click();
  void MContentClick();
  void MWebPageClick();
  void MAboutClick();
  void ToolButton1Click();
  void ToolButton2Click();
  void ToolButton4Click();
  void ToolButton5Click();
  void ToolButton6Click();
  void AutoTimerTimer();
  void FlashPanelResize();
  void ListViewSelectItem(int item);

  // What the window holds, for the other units of the program and for tests.
  const std::vector<std::string>& EntryList() const { return entryList_; }
  HWND ListView() const { return listView_; }
  HWND ToolBar() const { return toolBar_; }
  HWND SplitterHandle() const;
  HWND FlashPanel() const;
  HIMAGELIST ImageList() const { return imageList_.Get(); }
  HIMAGELIST BtnImageList() const { return btnImageList_.Get(); }
  player::TShockwaveFlash& ShockwaveFlash() const { return *player_; }
  HMENU MainMenu() const { return mainMenu_; }
  HMENU EditMenu() const { return editMenu_; }
  int PaneWidth() const { return paneWidth_; }
  ui::FileDialog& OpenDlg() { return openDlg_; }
  ui::FileDialog& SaveDlg() { return saveDlg_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void CreateToolBar();
  void CreateImageLists();
  void ApplySystemColours();
  void FormCreate();
  void Layout();
  void DragSplitter(int wantedPaneWidth);

  void OnCommand(UINT id);
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void MeasureMenuGlyph(MEASUREITEMSTRUCT& item) const;
  void DrawMenuGlyph(const DRAWITEMSTRUCT& item) const;

  int CaptureThumbnail(const std::string& path);
  int AppendThumbnail(const std::vector<uint32_t>& pixels);
  void SetItemCaption(int item, const std::string& caption);
  void SetItemImage(int item, int image);
  void DeleteItem(int item);

  // Commands that arrive while a thumbnail capture lets the message loop run
  // once are held back and run after it, so that the list view and
  // EntryList never fall out of step.
  void HoldBack(std::function<void()> action);
  void RunHeldBack();
  // Posted when held-back commands wait; they run when it arrives.
  static constexpr UINT kRunHeldBack = WM_APP + 1;
  void ScheduleHeldBack();

  std::vector<std::string> arguments_;
  PlayerFactory makePlayer_;

  HMENU mainMenu_ = nullptr;  // owned by the window once attached
  HMENU editMenu_ = nullptr;
  HWND toolBar_ = nullptr;
  HWND listView_ = nullptr;
  std::unique_ptr<Splitter> splitter_;
  std::unique_ptr<FlashPanelWindow> flashPanel_;
  std::unique_ptr<player::TShockwaveFlash> player_;
  ui::UniqueImageList imageList_;
  ui::UniqueImageList btnImageList_;
  ui::UniqueFont font_;

  std::vector<std::string> entryList_;
  ui::FileDialog openDlg_;
  ui::FileDialog saveDlg_;

  int paneWidth_ = kInitialPaneWidth;
  SIZE flashPanelSize_{0, 0};
  bool deletingItem_ = false;
  bool capturing_ = false;
  std::deque<std::function<void()>> heldBack_;
};

}  // namespace app
