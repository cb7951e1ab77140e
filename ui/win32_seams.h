#pragma once
// The real seams: Win32 message boxes, common file dialogs, ShellExecute and
// Sleep.

#include "ui/seams.h"

namespace ui {

class Win32Dialogs final : public Dialogs {
 public:
  int ShowMessageBox(const MessageBoxRequest& request) override;
  FileDialogResult ShowOpenDialog(const FileDialogRequest& request) override;
  FileDialogResult ShowSaveDialog(const FileDialogRequest& request) override;
  void OpenWithShell(const ShellRequest& request) override;
};

class Win32Pauses final : public Pauses {
 public:
  void Pause(DWORD milliseconds) override;
};

class NoModalDriver final : public ModalDriver {
 public:
  void ModalShown(HWND) override {}
};

// Owns one of each real seam.
class Win32Seams {
 public:
  Seams Get() { return Seams{dialogs_, pauses_, modal_}; }

 private:
  Win32Dialogs dialogs_;
  Win32Pauses pauses_;
  NoModalDriver modal_;
};

// "A|b|C|d" → "A\0b\0C\0d\0\0", stepping by characters so that a 0x7C trail
// byte of a double-byte character is not taken for a separator.
std::string DialogFilterFromText(const std::string& text);

}  // namespace ui
