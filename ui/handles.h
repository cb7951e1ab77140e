#pragma once
// RAII owners for the Win32 handles the program creates. Every handle has
// exactly one owner; nothing in command code calls DeleteObject or
// CloseHandle by hand.

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace ui {

// A unique owner for a handle type whose release is a plain function call.
template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return Traits::IsValid(handle_); }
  Handle Release() {
    Handle h = handle_;
    handle_ = Traits::Invalid();
    return h;
  }
  void Reset(Handle handle = Traits::Invalid()) {
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename Handle, auto CloseFunction>
struct NullIsInvalid {
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseFunction(h); }
};

struct KernelHandleTraits {
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueWindow = UniqueHandle<HWND, NullIsInvalid<HWND, ::DestroyWindow>>;
using UniqueMenu = UniqueHandle<HMENU, NullIsInvalid<HMENU, ::DestroyMenu>>;
using UniqueIcon = UniqueHandle<HICON, NullIsInvalid<HICON, ::DestroyIcon>>;
using UniqueImageList = UniqueHandle<HIMAGELIST, NullIsInvalid<HIMAGELIST, ::ImageList_Destroy>>;
using UniqueMemoryDc = UniqueHandle<HDC, NullIsInvalid<HDC, ::DeleteDC>>;

inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }

// Pens, brushes, fonts, bitmaps and regions.
template <typename Gdi>
using UniqueGdiObject = UniqueHandle<Gdi, NullIsInvalid<Gdi, DeleteGdiObject>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueFont = UniqueGdiObject<HFONT>;

// A device context from GetDC or GetWindowDC, released to its window.
class WindowDc {
 public:
  enum class Area { kClient, kWholeWindow };
  explicit WindowDc(HWND window, Area area = Area::kClient)
      : window_(window), dc_(area == Area::kClient ? ::GetDC(window) : ::GetWindowDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint ... EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  HDC Get() const { return dc_; }
  const RECT& Dirty() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Disables a window for the life of the guard (e.g. the owner of a modal
// loop or of a long command) and enables it again, even when an error ends
// the command early.
class ScopedDisable {
 public:
  explicit ScopedDisable(HWND window) : window_(window) { ::EnableWindow(window_, FALSE); }
  ScopedDisable(const ScopedDisable&) = delete;
  ScopedDisable& operator=(const ScopedDisable&) = delete;
  ~ScopedDisable() { ::EnableWindow(window_, TRUE); }

 private:
  HWND window_;
};

}  // namespace ui
