#pragma once
// An open or save dialog object (OpenDlg, SaveDlg): it keeps the last
// confirmed file name and filter choice between uses, and each command sets
// the filter (and default extension) just before it shows the dialog.

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "ui/seams.h"

namespace ui {

class FileDialog {
 public:
  enum class Kind { kOpen, kSave };
  // A hidden read-only box and a resizable window; no must-exist check, no
  // overwrite question and no change of the current folder of our own.
  static constexpr DWORD kFlags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;

  FileDialog(Dialogs& dialogs, Kind kind) : dialogs_(dialogs), kind_(kind) {}

  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  void SetDefaultExtension(std::string extension) { defaultExtension_ = std::move(extension); }

  // Shows the dialog; true when the user confirmed a name, which FileName()
  // then gives. Cancel leaves the kept name and filter choice as they were.
  bool Execute(HWND owner);

  const std::string& FileName() const { return fileName_; }
  DWORD FilterIndex() const { return filterIndex_; }

 private:
  Dialogs& dialogs_;
  Kind kind_;
  std::string filter_;
  std::string defaultExtension_;
  std::string fileName_;
  DWORD filterIndex_ = 1;
};

}  // namespace ui
