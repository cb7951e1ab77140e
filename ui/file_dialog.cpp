#include "ui/file_dialog.h"

namespace ui {

bool FileDialog::Execute(HWND owner) {
  FileDialogRequest request;
  request.owner = owner;
  request.filter = filter_;
  request.filterIndex = filterIndex_;
  request.defaultExtension = defaultExtension_;
  request.flags = kFlags;
  request.fileName = fileName_;
  FileDialogResult result =
      kind_ == Kind::kOpen ? dialogs_.ShowOpenDialog(request) : dialogs_.ShowSaveDialog(request);
  if (!result.confirmed) return false;
  fileName_ = result.fileName;
  filterIndex_ = result.filterIndex;
  return true;
}

}  // namespace ui
