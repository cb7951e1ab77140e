#include "swf/parse/image_decoders.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "swf/parse/parse_error.h"

namespace swf {
namespace {

void CheckSize(const char* format, long long width, long long height, int maxSide, size_t maxPixels) {
  if (width <= 0 || height <= 0 || width > maxSide || height > maxSide ||
      static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) > maxPixels) {
    throw ParseError(std::string(format) + " image of " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels is out of range");
  }
}

bool IsStandaloneMarker(uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

}  // namespace

std::vector<uint8_t> NormalizeJpeg(std::span<const uint8_t> data) {
  std::vector<uint8_t> out{0xFF, 0xD8};
  out.reserve(data.size() + 2);
  size_t i = 0;
  while (i + 1 < data.size()) {
    if (data[i] != 0xFF) break;  // not a marker: left to the decoder to judge
    const uint8_t marker = data[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0xD8 || marker == 0xD9) {  // SOI / EOI before the image: dropped
      i += 2;
      continue;
    }
    if (marker == 0xDA) break;  // start of scan: the rest is the image as it stands
    if (IsStandaloneMarker(marker)) {
      out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(i), data.begin() + static_cast<ptrdiff_t>(i + 2));
      i += 2;
      continue;
    }
    if (i + 3 >= data.size()) break;
    const size_t length = (size_t{data[i + 2]} << 8) | data[i + 3];
    const size_t end = std::min(data.size(), i + 2 + length);
    out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(i), data.begin() + static_cast<ptrdiff_t>(end));
    i = end;
  }
  out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(std::min(i, data.size())), data.end());
  return out;
}

// libpng's simplified reading interface keeps its own error jumps inside
// libpng and reports failure by return value.
DecodedImage DecodePng(std::span<const uint8_t> png, int maxSide, size_t maxPixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) {
    throw ParseError(std::string("PNG data cannot be decoded: ") + image.message);
  }
  struct Release {
    png_image* image;
    ~Release() { png_image_free(image); }
  } release{&image};
  CheckSize("PNG", image.width, image.height, maxSide, maxPixels);
  image.format = PNG_FORMAT_RGBA;
  DecodedImage decoded;
  decoded.width = static_cast<int>(image.width);
  decoded.height = static_cast<int>(image.height);
  decoded.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr)) {
    throw ParseError(std::string("PNG data cannot be decoded: ") + image.message);
  }
  return decoded;
}

namespace {

struct GifSource {
  std::span<const uint8_t> data;
  size_t position = 0;
};

extern "C" int ReadGifBytes(GifFileType* gif, GifByteType* buffer, int count) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(std::max(count, 0)), source->data.size() - source->position);
  std::memcpy(buffer, source->data.data() + source->position, n);
  source->position += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

}  // namespace

// Read record by record rather than with DGifSlurp, which would allocate
// every frame at the size its descriptor claims before anything is checked.
DecodedImage DecodeGif(std::span<const uint8_t> data, int maxSide, size_t maxPixels) {
  GifSource source{data};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, ReadGifBytes, &error));
  if (!gif) throw ParseError(std::string("GIF data cannot be opened: ") + GifErrorString(error));
  CheckSize("GIF", gif->SWidth, gif->SHeight, maxSide, maxPixels);
  auto fail = [&gif]() { throw ParseError(std::string("GIF data cannot be decoded: ") + GifErrorString(gif->Error)); };

  GraphicsControlBlock control{};
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  do {
    if (DGifGetRecordType(gif.get(), &record) != GIF_OK) fail();
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) != GIF_OK) fail();
      if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4) {
        DGifExtensionToGCB(block[0], block + 1, &control);
      }
      while (block != nullptr) {
        if (DGifGetExtensionNext(gif.get(), &block) != GIF_OK) fail();
      }
    }
  } while (record != IMAGE_DESC_RECORD_TYPE && record != TERMINATE_RECORD_TYPE);
  if (record != IMAGE_DESC_RECORD_TYPE) throw ParseError("GIF data holds no image");
  if (DGifGetImageDesc(gif.get()) != GIF_OK) fail();
  const GifImageDesc& desc = gif->Image;
  CheckSize("GIF frame", desc.Width, desc.Height, maxSide, maxPixels);
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
  if (map == nullptr) throw ParseError("GIF image without colours");

  // Rows in file order; interlaced images send every 8th row first, then
  // the rows between in three more passes.
  std::vector<int> rowOrder;
  rowOrder.reserve(static_cast<size_t>(desc.Height));
  if (desc.Interlace) {
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) rowOrder.push_back(y);
    }
  } else {
    for (int y = 0; y < desc.Height; ++y) rowOrder.push_back(y);
  }

  DecodedImage image;
  image.width = gif->SWidth;
  image.height = gif->SHeight;
  image.rgba.assign(static_cast<size_t>(image.width) * image.height * 4, 0);  // outside the frame: transparent
  std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
  for (const int y : rowOrder) {
    if (DGifGetLine(gif.get(), line.data(), desc.Width) != GIF_OK) break;  // a cut-off image keeps its rows so far
    const int outY = desc.Top + y;
    if (outY < 0 || outY >= image.height) continue;
    for (int x = 0; x < desc.Width; ++x) {
      const int outX = desc.Left + x;
      const int index = line[static_cast<size_t>(x)];
      if (outX < 0 || outX >= image.width || index == control.TransparentColor || index >= map->ColorCount) continue;
      uint8_t* out = &image.rgba[(static_cast<size_t>(outY) * image.width + outX) * 4];
      out[0] = map->Colors[index].Red;
      out[1] = map->Colors[index].Green;
      out[2] = map->Colors[index].Blue;
      out[3] = 255;
    }
  }
  return image;
}

}  // namespace swf
