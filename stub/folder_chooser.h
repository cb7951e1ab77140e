#pragma once
// Asking the user for a folder. The player window asks through this
// interface, so that tests can answer in place of the shell's folder dialog.

#include <windows.h>

#include <optional>
#include <string>

namespace stub {

class FolderChooser {
 public:
  virtual ~FolderChooser() = default;
  // The chosen folder's full path, or nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFolder(HWND owner, const std::string& title) = 0;
};

// The shell's folder dialog (the caller has initialised COM).
class ShellFolderChooser final : public FolderChooser {
 public:
  std::optional<std::string> ChooseFolder(HWND owner, const std::string& title) override;
};

}  // namespace stub
