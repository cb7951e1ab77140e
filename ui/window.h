#pragma once
// Base class of the program's own windows. The object is bound to its HWND at
// WM_NCCREATE and every message goes to HandleMessage; an exception thrown by
// a handler ends that command with the general error report and never crosses
// the window procedure into system code.

#include <windows.h>

#include <exception>
#include <string>

#include "ui/seams.h"

namespace ui {

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  Seams& GetSeams() const { return seams_; }

 protected:
  explicit Window(Seams& seams) : seams_(seams) {}

  // Registers a class whose procedure dispatches to Window objects; a second
  // registration of the same name is harmless.
  static void RegisterWindowClass(WNDCLASSEXA windowClass);

  // A class description of this module with a stock cursor and, unless
  // `backgroundColour` is negative, a system-colour background (COLOR_*).
  static WNDCLASSEXA ClassDescription(const char* name, LPCSTR cursor = IDC_ARROW, int backgroundColour = -1);

  // Creates the window. An error thrown while the window is being created
  // (WM_NCCREATE, WM_CREATE) makes creation fail and is thrown again from
  // here, unreported, so that the caller decides; any other failure throws
  // std::runtime_error with the system's text.
  void Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
              int width, int height, HWND parent, HMENU menu);

  // Handles one message; the default passes it to DefWindowProcA.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  Seams& seams_;
  HWND hwnd_ = nullptr;
  std::exception_ptr creationError_;
};

// The system's text for the calling thread's last error.
std::string LastErrorText();

}  // namespace ui
