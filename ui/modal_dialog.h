#pragma once
// Base class of the program's modal windows (the build options and the About
// window). The dialog is made from an in-memory template without items, so
// that its controls can be laid out in pixels; the dialog manager disables
// the owner and runs the modal loop. Once the loop runs, the modal driver
// seam is told, which lets tests work the live window.

#include <windows.h>

#include <string>

#include "ui/seams.h"

namespace ui {

class ModalDialog {
 public:
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;
  virtual ~ModalDialog() = default;

  // Shows the dialog modally over `owner` and returns the code it ended with.
  INT_PTR ShowModal(HWND owner);

  HWND Handle() const { return hwnd_; }
  Seams& GetSeams() const { return seams_; }

 protected:
  // `style` without DS_SETFONT: controls are placed in pixels, not dialog units.
  ModalDialog(Seams& seams, std::string title, DWORD style, SIZE clientSize)
      : seams_(seams), title_(std::move(title)), style_(style), clientSize_(clientSize) {}

  // Creates the controls; the window already has its client size.
  virtual void OnInitDialog() = 0;
  // Handles one message; return true when it was handled (the result goes
  // into `result`).
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

  void End(INT_PTR code) { ::EndDialog(hwnd_, code); }

  // Centres the dialog over its owner, as the owner stands now.
  void CentreOverOwner();

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  Seams& seams_;
  std::string title_;
  DWORD style_;
  SIZE clientSize_;
  HWND hwnd_ = nullptr;
};

}  // namespace ui
