// libjpeg reports fatal errors through its error manager, which here jumps
// back with longjmp. No C++ object with a destructor may live in a frame the
// jump crosses, so the decoding itself is a plain function over raw memory;
// the C++ wrapper below turns its outcome into vectors and exceptions.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "swf/parse/image_decoders.h"
#include "swf/parse/parse_error.h"

namespace swf {
namespace {

struct JpegErrorManager {
  jpeg_error_mgr base;  // first, so that libjpeg's pointer is also ours
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

extern "C" void OnJpegFatalError(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrorManager*>(info->err);
  errors->base.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (a truncated stream among them) are not fatal: libjpeg fills what
// is missing and the picture is kept. They are not printed either.
extern "C" void OnJpegMessage(j_common_ptr, int) {}

struct RawJpegResult {
  unsigned char* rgba;  // malloc'ed, width * height * 4
  int width;
  int height;
  char message[JMSG_LENGTH_MAX];
};

// Returns 1 on success; on failure result->message says why and nothing is
// left allocated.
int DecodeJpegRaw(const unsigned char* data, size_t size, int maxSide, size_t maxPixels, RawJpegResult* result) {
  jpeg_decompress_struct info;
  JpegErrorManager errors;
  unsigned char* volatile rgba = nullptr;
  unsigned char* volatile row = nullptr;
  result->rgba = nullptr;
  result->message[0] = '\0';
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnJpegFatalError;
  errors.base.emit_message = OnJpegMessage;
  errors.message[0] = '\0';
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    std::free(rgba);
    std::free(row);
    std::snprintf(result->message, sizeof result->message, "%s", errors.message);
    return 0;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  const JDIMENSION width = info.image_width;
  const JDIMENSION height = info.image_height;
  if (width == 0 || height == 0 || width > static_cast<JDIMENSION>(maxSide) ||
      height > static_cast<JDIMENSION>(maxSide) || static_cast<size_t>(width) * height > maxPixels) {
    std::snprintf(result->message, sizeof result->message, "JPEG image of %u x %u pixels is out of range",
                  static_cast<unsigned>(width), static_cast<unsigned>(height));
    jpeg_destroy_decompress(&info);
    return 0;
  }
  jpeg_start_decompress(&info);
  rgba = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width) * height * 4));
  row = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(info.output_width) * 3));
  if (rgba == nullptr || row == nullptr || info.output_components != 3 || info.output_width != width) {
    std::snprintf(result->message, sizeof result->message, "JPEG image cannot be decoded to RGB");
    jpeg_destroy_decompress(&info);
    std::free(rgba);
    std::free(row);
    return 0;
  }
  while (info.output_scanline < info.output_height) {
    const JDIMENSION y = info.output_scanline;
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
    unsigned char* out = rgba + static_cast<size_t>(y) * width * 4;
    for (JDIMENSION x = 0; x < width; ++x) {
      out[x * 4] = row[x * 3];
      out[x * 4 + 1] = row[x * 3 + 1];
      out[x * 4 + 2] = row[x * 3 + 2];
      out[x * 4 + 3] = 255;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::free(row);
  result->rgba = rgba;
  result->width = static_cast<int>(width);
  result->height = static_cast<int>(height);
  return 1;
}

}  // namespace

DecodedImage DecodeJpeg(std::span<const uint8_t> jpeg, int maxSide, size_t maxPixels) {
  if (jpeg.empty()) throw ParseError("empty JPEG data");
  RawJpegResult raw;
  if (DecodeJpegRaw(jpeg.data(), jpeg.size(), maxSide, maxPixels, &raw) == 0) {
    throw ParseError(std::string("JPEG data cannot be decoded: ") + raw.message);
  }
  DecodedImage image;
  image.width = raw.width;
  image.height = raw.height;
  try {
    image.rgba.assign(raw.rgba, raw.rgba + static_cast<size_t>(raw.width) * raw.height * 4);
  } catch (...) {
    std::free(raw.rgba);
    throw;
  }
  std::free(raw.rgba);
  return image;
}

}  // namespace swf
