// The movie list: one list-view item and one EntryList line per movie.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/MainUnit.h"
#include "app/main_menu.h"
#include "app/texts.h"
#include "core/entry_line.h"
#include "core/file_name.h"
#include "sys/file_system.h"
#include "ui/seams.h"

namespace app {

void TMainForm::SetItemCaption(int item, const std::string& caption) {
  LVITEMA lvItem{};
  lvItem.mask = LVIF_TEXT;
  lvItem.iItem = item;
  lvItem.pszText = const_cast<char*>(caption.c_str());
  ::SendMessageA(listView_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvItem));
}

void TMainForm::SetItemImage(int item, int image) {
  LVITEMA lvItem{};
  lvItem.mask = LVIF_IMAGE;
  lvItem.iItem = item;
  lvItem.iImage = image;
  ::SendMessageA(listView_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lvItem));
}

void TMainForm::DeleteItem(int item) {
  // Deleting a selected item first reports it deselected; that must not
  // reach the preview, which would play or remove it halfway.
  deletingItem_ = true;
  ::SendMessageA(listView_, LVM_DELETEITEM, static_cast<WPARAM>(item), 0);
  deletingItem_ = false;
}

void TMainForm::AddMovie(const std::string& path) {
  if (!sys::FileExists(path)) return;

  std::string name = core::FileNamePart(path);
  LVITEMA lvItem{};
  lvItem.mask = LVIF_TEXT | LVIF_IMAGE;
  lvItem.iItem = static_cast<int>(::SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
  lvItem.pszText = name.data();
  lvItem.iImage = 0;  // the placeholder while the capture runs
  int item = static_cast<int>(::SendMessageA(listView_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lvItem)));
  if (item < 0) throw std::runtime_error("Cannot add the movie to the list");

  try {
    int thumbnail = CaptureThumbnail(path);
    SetItemImage(item, thumbnail);
    std::uint32_t size = sys::DirectoryEntrySize(path);
    SetItemCaption(item, name + " (" + std::to_string(size) + "Bytes)");
    entryList_.push_back(core::FormatEntryLine({item, thumbnail, path}));
  } catch (...) {
    // No item may stay without its entry line.
    DeleteItem(item);
    ScheduleHeldBack();
    throw;
  }
  player_->Play();
  ScheduleHeldBack();
}

void TMainForm::RemoveMovie(int index) {
  bool found = false;
  size_t foundLine = 0;
  for (size_t i = 0; i < entryList_.size(); ++i) {
    const std::string& line = entryList_[i];
    if (line.empty()) continue;
    std::optional<int> n = core::EntryLineItemIndex(line);
    if (!n) continue;
    if (found) {
      entryList_[i] = core::WithItemIndex(line, *n - 1);
    } else if (*n == index) {
      DeleteItem(*n);
      foundLine = i;
      found = true;
    }
  }
  if (!found) return;
  entryList_.erase(entryList_.begin() + static_cast<std::ptrdiff_t>(foundLine));
  player_->Stop();
}

void TMainForm::RemoveAllMovies() {
  int count = static_cast<int>(::SendMessageA(listView_, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) RemoveMovie(0);
}

void TMainForm::MAddFlashClick() {
  openDlg_.SetFilter(texts::kAddFlashFilter);
  openDlg_.SetDefaultExtension("");
  if (openDlg_.Execute(Handle())) AddMovie(openDlg_.FileName());
}

void TMainForm::MRemoveClick() {
  if (::SendMessageA(listView_, LVM_GETSELECTEDCOUNT, 0, 0) != 1) return;
  int selected = static_cast<int>(::SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (selected >= 0) RemoveMovie(selected);
}

void TMainForm::MClearClick() {
  ui::MessageBoxRequest question;
  question.owner = Handle();
  question.text = texts::kClearQuestion;
  question.caption = texts::kMessageCaption;
  question.type = MB_YESNO | MB_DEFBUTTON1 | MB_APPLMODAL;
  if (GetSeams().dialogs.ShowMessageBox(question) == IDYES) RemoveAllMovies();
}

void TMainForm::MEditClick() {
  bool anySelected = ::SendMessageA(listView_, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
  ::EnableMenuItem(editMenu_, kMRemove, MF_BYCOMMAND | (anySelected ? MF_ENABLED : MF_GRAYED));
}

void TMainForm::ToolButton4Click() { MAddFlashClick(); }

void TMainForm::ToolButton5Click() {
  if (::SendMessageA(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) != -1) MRemoveClick();
}

void TMainForm::ToolButton6Click() { MClearClick(); }

}  // namespace app
