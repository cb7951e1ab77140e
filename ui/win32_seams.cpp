#include "ui/win32_seams.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

namespace ui {

std::string DialogFilterFromText(const std::string& text) {
  std::string filter;
  filter.reserve(text.size() + 2);
  const char* p = text.c_str();
  while (*p != '\0') {
    const char* next = ::CharNextA(p);
    if (next == p) break;
    if (*p == '|' && next == p + 1) {
      filter.push_back('\0');
    } else {
      filter.append(p, next);
    }
    p = next;
  }
  filter.push_back('\0');
  filter.push_back('\0');
  return filter;
}

int Win32Dialogs::ShowMessageBox(const MessageBoxRequest& request) {
  return ::MessageBoxA(request.owner, request.text.c_str(), request.caption.c_str(), request.type);
}

namespace {

template <typename DialogFunction>
FileDialogResult RunFileDialog(const FileDialogRequest& request, DialogFunction show) {
  std::string filter = DialogFilterFromText(request.filter);
  std::vector<char> name(MAX_PATH, '\0');
  request.fileName.copy(name.data(), name.size() - 1);

  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = request.owner;
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = request.filterIndex;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  ofn.Flags = request.flags;

  FileDialogResult result;
  // FALSE is Cancel or a failure of the dialog itself; both leave things as they were.
  if (show(&ofn)) {
    result.confirmed = true;
    result.fileName = name.data();
    result.filterIndex = ofn.nFilterIndex;
  }
  return result;
}

}  // namespace

FileDialogResult Win32Dialogs::ShowOpenDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, ::GetOpenFileNameA);
}

FileDialogResult Win32Dialogs::ShowSaveDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, ::GetSaveFileNameA);
}

void Win32Dialogs::OpenWithShell(const ShellRequest& request) {
  auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
  ::ShellExecuteA(request.owner, orNull(request.verb), request.file.c_str(), orNull(request.parameters),
                  orNull(request.directory), request.showCommand);
}

void Win32Pauses::Pause(DWORD milliseconds) { ::Sleep(milliseconds); }

}  // namespace ui
