#include "support/screen_capture.h"

#include "ui/handles.h"

namespace testsupport {

std::vector<uint32_t> CopyPixels(HDC source, int x, int y, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ui::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ui::UniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
  {
    ui::ScopedSelect select(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, width, height, source, x, y, SRCCOPY);
    ::GdiFlush();
  }
  std::vector<uint32_t> pixels(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + width * height);
  for (uint32_t& p : pixels) p &= 0x00FFFFFFu;
  return pixels;
}

}  // namespace testsupport
