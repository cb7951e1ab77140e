#include "ui/back_buffer.h"

#include <algorithm>
#include <stdexcept>

#include "ui/window.h"

namespace ui {

void BackBuffer::Unselect() {
  if (previous_) ::SelectObject(dc_.Get(), previous_);
  previous_ = nullptr;
}

void BackBuffer::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (width == width_ && height == height_ && bitmap_) return;
  if (!dc_) dc_.Reset(::CreateCompatibleDC(nullptr));
  Unselect();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows top to bottom, as the engine writes them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) throw std::runtime_error(LastErrorText());
  bitmap_ = std::move(bitmap);
  pixels_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  previous_ = ::SelectObject(dc_.Get(), bitmap_.Get());
}

}  // namespace ui
