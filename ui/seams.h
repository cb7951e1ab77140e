#pragma once
// The seams through which the program asks and shows the user things, pauses,
// and runs modal windows. The real implementations call Win32; tests put in
// scripted fakes that answer and record, so that commands can be driven
// in-process against real windows without anybody at the keyboard.

#include <windows.h>

#include <string>

namespace ui {

struct MessageBoxRequest {
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT type = MB_OK;  // buttons, icon, modality and default button, as for MessageBoxA
};

struct FileDialogRequest {
  HWND owner = nullptr;
  std::string filter;      // "Name|pattern|Name|pattern", as the commands write it
  DWORD filterIndex = 1;   // 1-based
  std::string defaultExtension;  // without the dot; empty for none
  DWORD flags = 0;
  std::string fileName;    // the name the dialog starts with
};

struct FileDialogResult {
  bool confirmed = false;
  std::string fileName;
  DWORD filterIndex = 1;
};

struct ShellRequest {
  HWND owner = nullptr;
  std::string verb;  // empty: the default verb
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand = SW_SHOWNORMAL;
};

// Everything the user is asked or shown outside the program's own windows.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  virtual FileDialogResult ShowOpenDialog(const FileDialogRequest& request) = 0;
  virtual FileDialogResult ShowSaveDialog(const FileDialogRequest& request) = 0;
  // The shell's result is of no use to any command, so none is returned.
  virtual void OpenWithShell(const ShellRequest& request) = 0;
};

// Pauses of the GUI thread. No message is handled during a pause.
class Pauses {
 public:
  virtual ~Pauses() = default;
  virtual void Pause(DWORD milliseconds) = 0;
};

// Told when a modal window of ours is up and its modal loop runs. The real
// implementation does nothing; a test's receives the live window, drives its
// controls as a person would and lets it close.
class ModalDriver {
 public:
  virtual ~ModalDriver() = default;
  virtual void ModalShown(HWND window) = 0;
};

struct Seams {
  Dialogs& dialogs;
  Pauses& pauses;
  ModalDriver& modal;
};

}  // namespace ui
