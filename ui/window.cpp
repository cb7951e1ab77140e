#include "ui/window.h"

#include <stdexcept>
#include <string>

#include "ui/error_report.h"

namespace ui {

std::string LastErrorText() {
  DWORD code = ::GetLastError();
  char* buffer = nullptr;
  DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : "System error " + std::to_string(code);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

Window::~Window() {
  if (hwnd_) {
    HWND hwnd = hwnd_;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    ::DestroyWindow(hwnd);
  }
}

WNDCLASSEXA Window::ClassDescription(const char* name, LPCSTR cursor, int backgroundColour) {
  WNDCLASSEXA windowClass{};
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = name;
  windowClass.hCursor = ::LoadCursorA(nullptr, cursor);
  if (backgroundColour >= 0) windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColour + 1));
  return windowClass;
}

void Window::RegisterWindowClass(WNDCLASSEXA windowClass) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExA(windowClass.hInstance, windowClass.lpszClassName, &existing)) return;
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &Window::Procedure;
  if (!::RegisterClassExA(&windowClass)) throw std::runtime_error(LastErrorText());
}

void Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu) {
  creationError_ = nullptr;
  HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                                ::GetModuleHandleA(nullptr), this);
  if (!hwnd) {
    if (creationError_) {
      std::exception_ptr error = creationError_;
      creationError_ = nullptr;
      std::rethrow_exception(error);
    }
    throw std::runtime_error(LastErrorText());
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after the object has
  // let go of its window get the default treatment.
  if (!self) return ::DefWindowProcA(hwnd, message, wParam, lParam);

  if (message == WM_NCCREATE || message == WM_CREATE) {
    // A window that fails to come into being is the creator's error, not a
    // command's: keep it for Create() to throw.
    try {
      return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
      self->creationError_ = std::current_exception();
      return message == WM_NCCREATE ? FALSE : -1;
    }
  }

  LRESULT result = 0;
  RunReportingErrors(self->seams_.dialogs, [&] { result = self->HandleMessage(message, wParam, lParam); });
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace ui
