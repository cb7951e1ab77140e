#include "about/jpeg_image.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>

namespace about {

namespace {

constexpr JDIMENSION kMaxSide = 4096;

// libjpeg reports a fatal error by calling error_exit, which must not return.
// An exception cannot unwind through libjpeg's C frames, so the handler jumps
// back to the decoder, which then throws from C++ code.
struct JumpingErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jumpBack;
  char message[JMSG_LENGTH_MAX];
};

void JumpBack(j_common_ptr info) {
  auto* manager = reinterpret_cast<JumpingErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jumpBack, 1);
}

// Warnings (a corrupt but decodable stream) are not worth a message box.
void IgnoreMessage(j_common_ptr, int) {}

// The decoding proper. Only trivially destructible objects live between
// setjmp and a longjmp back to it; the output vector is the caller's, so a
// jump leaves nothing unreleased here but libjpeg's own state, which
// jpeg_destroy_decompress frees. Returns false with `manager.message` filled
// on failure.
bool DecodeInto(std::span<const std::uint8_t> jpegData, DecodedImage& image, JumpingErrorManager& manager) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = &JumpBack;
  manager.base.emit_message = &IgnoreMessage;
  manager.message[0] = '\0';
  if (setjmp(manager.jumpBack)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, jpegData.data(), static_cast<unsigned long>(jpegData.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  // Only small pictures are ever shown; a header claiming more is damaged.
  if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
    std::snprintf(manager.message, sizeof manager.message, "%ux%u pixels is too large",
                  static_cast<unsigned>(info.image_width), static_cast<unsigned>(info.image_height));
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);

  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  const int stride = image.Stride();
  image.pixels.assign(static_cast<size_t>(stride) * image.height, 0);
  // libjpeg gives red, green, blue; a DIB wants blue, green, red.
  while (info.output_scanline < info.output_height) {
    std::uint8_t* row = image.pixels.data() + static_cast<size_t>(info.output_scanline) * stride;
    JSAMPROW rows[1] = {row};
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < image.width; ++x) std::swap(row[x * 3], row[x * 3 + 2]);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

COLORREF DecodedImage::PixelAt(int x, int y) const {
  const std::uint8_t* p = pixels.data() + static_cast<size_t>(y) * Stride() + static_cast<size_t>(x) * 3;
  return RGB(p[2], p[1], p[0]);
}

DecodedImage DecodeJpeg(std::span<const std::uint8_t> jpegData) {
  if (jpegData.empty()) throw std::runtime_error("The picture holds no data");
  DecodedImage image;
  JumpingErrorManager manager{};
  if (!DecodeInto(jpegData, image, manager)) {
    throw std::runtime_error(std::string("The picture cannot be read: ") + manager.message);
  }
  return image;
}

ui::UniqueBitmap MakeDibSection(const DecodedImage& image) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;  // negative: rows top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ui::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || !bits) throw std::runtime_error("Out of memory for the picture");
  std::memcpy(bits, image.pixels.data(), image.pixels.size());
  ::GdiFlush();
  return bitmap;
}

}  // namespace about
