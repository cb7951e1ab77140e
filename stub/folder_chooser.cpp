#include "stub/folder_chooser.h"

#include <objbase.h>
#include <shlobj.h>

namespace stub {
namespace {

// The item list the dialog returns belongs to the caller.
struct ItemListOwner {
  PIDLIST_ABSOLUTE list = nullptr;
  ~ItemListOwner() {
    if (list) ::CoTaskMemFree(list);
  }
};

}  // namespace

std::optional<std::string> ShellFolderChooser::ChooseFolder(HWND owner, const std::string& title) {
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info{};
  info.hwndOwner = owner;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  ItemListOwner chosen;
  chosen.list = ::SHBrowseForFolderA(&info);
  if (!chosen.list) return std::nullopt;
  char path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListA(chosen.list, path)) return std::nullopt;
  return std::string(path);
}

}  // namespace stub
