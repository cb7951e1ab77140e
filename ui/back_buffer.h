#pragma once
// A window's picture kept off screen: a 32-bit top-down DIB section selected
// into a memory DC. The engine draws straight into its pixels, painting
// copies it to the screen, and whoever needs the picture reads it here.

#include <windows.h>

#include <cstdint>

#include "ui/handles.h"

namespace ui {

class BackBuffer {
 public:
  BackBuffer() = default;
  BackBuffer(const BackBuffer&) = delete;
  BackBuffer& operator=(const BackBuffer&) = delete;
  ~BackBuffer() { Unselect(); }

  // Makes the picture width × height (at least 1 × 1); keeps it when the size
  // is unchanged. Throws std::runtime_error with the system's text.
  void Resize(int width, int height);

  bool Ready() const { return bitmap_ ? true : false; }
  HDC Dc() const { return dc_.Get(); }
  // Width() × Height() pixels, rows top to bottom, 0x00RRGGBB each.
  std::uint32_t* Pixels() const { return pixels_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  void Unselect();

  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace ui
