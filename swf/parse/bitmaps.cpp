#include "swf/parse/bitmaps.h"

#include <algorithm>
#include <string>

#include "swf/parse/decompress.h"
#include "swf/parse/image_decoders.h"
#include "swf/parse/parse_error.h"

namespace swf {
namespace {

bool StartsWith(std::span<const uint8_t> data, std::initializer_list<uint8_t> prefix) {
  return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

size_t TakeFromBudget(int width, int height, size_t& pixelBudget) {
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (pixels > pixelBudget) {
    throw ParseError("the movie's bitmaps hold more than " + std::to_string(kMaxMovieBitmapPixels) + " pixels");
  }
  pixelBudget -= pixels;
  return pixels;
}

// Each reduction averages 2 x 2 pixels of the one before (one pixel or two
// at an odd edge).
void AddReductions(Bitmap& bitmap, size_t& pixelBudget) {
  int width = bitmap.width;
  int height = bitmap.height;
  bitmap.reductions.reserve(16);  // sides of at most kMaxBitmapSide halve 14 times
  const uint8_t* source = bitmap.pixels.data();
  while (width > 1 || height > 1) {
    const int reducedWidth = (width + 1) / 2;
    const int reducedHeight = (height + 1) / 2;
    const size_t count = static_cast<size_t>(reducedWidth) * reducedHeight;
    if (count > pixelBudget) return;
    pixelBudget -= count;
    BitmapReduction level{reducedWidth, reducedHeight, std::vector<uint8_t>(count * 4)};
    for (int y = 0; y < reducedHeight; ++y) {
      const int y0 = 2 * y;
      const int y1 = std::min(2 * y + 1, height - 1);
      for (int x = 0; x < reducedWidth; ++x) {
        const int x0 = 2 * x;
        const int x1 = std::min(2 * x + 1, width - 1);
        const auto at = [&](int px, int py) { return source + (static_cast<size_t>(py) * width + px) * 4; };
        uint8_t* out = level.pixels.data() + (static_cast<size_t>(y) * reducedWidth + x) * 4;
        for (int c = 0; c < 4; ++c) {
          out[c] = static_cast<uint8_t>((at(x0, y0)[c] + at(x1, y0)[c] + at(x0, y1)[c] + at(x1, y1)[c] + 2) / 4);
        }
      }
    }
    bitmap.reductions.push_back(std::move(level));
    source = bitmap.reductions.back().pixels.data();
    width = reducedWidth;
    height = reducedHeight;
  }
}

size_t Allowed(size_t pixelBudget) { return std::min(kMaxBitmapPixels, pixelBudget); }

Bitmap FromStraight(uint16_t id, DecodedImage&& image) {
  Bitmap bitmap;
  bitmap.id = id;
  bitmap.width = image.width;
  bitmap.height = image.height;
  bitmap.pixels = std::move(image.rgba);
  for (size_t i = 0; i + 3 < bitmap.pixels.size(); i += 4) {
    const unsigned alpha = bitmap.pixels[i + 3];
    if (alpha == 255) continue;
    for (size_t c = 0; c < 3; ++c) bitmap.pixels[i + c] = static_cast<uint8_t>((bitmap.pixels[i + c] * alpha + 127) / 255);
  }
  return bitmap;
}

// JPEG, PNG or GIF data, told apart by their signatures.
DecodedImage DecodeImageData(std::span<const uint8_t> data, size_t pixelBudget) {
  const size_t maxPixels = Allowed(pixelBudget);
  if (StartsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return DecodePng(data, kMaxBitmapSide, maxPixels);
  if (StartsWith(data, {'G', 'I', 'F', '8'})) return DecodeGif(data, kMaxBitmapSide, maxPixels);
  return DecodeJpeg(NormalizeJpeg(data), kMaxBitmapSide, maxPixels);
}

bool IsJpeg(std::span<const uint8_t> data) {
  return StartsWith(data, {0xFF, 0xD8}) || StartsWith(data, {0xFF, 0xD9, 0xFF, 0xD8});
}

Bitmap DecodeDefineBits(BitReader& body, std::span<const uint8_t> jpegTables, size_t& pixelBudget) {
  const uint16_t id = body.U16();
  const std::span<const uint8_t> image = body.Rest();
  // The tables' segments and the image's in one stream; the EOI + SOI pair
  // between them goes in NormalizeJpeg.
  std::vector<uint8_t> joined(jpegTables.begin(), jpegTables.end());
  joined.insert(joined.end(), image.begin(), image.end());
  DecodedImage decoded = DecodeJpeg(NormalizeJpeg(joined), kMaxBitmapSide, Allowed(pixelBudget));
  TakeFromBudget(decoded.width, decoded.height, pixelBudget);
  return FromStraight(id, std::move(decoded));
}

Bitmap DecodeDefineBitsJpeg(BitReader& body, int version, size_t& pixelBudget) {
  const uint16_t id = body.U16();
  if (version == 2) {
    DecodedImage decoded = DecodeImageData(body.Rest(), pixelBudget);
    TakeFromBudget(decoded.width, decoded.height, pixelBudget);
    return FromStraight(id, std::move(decoded));
  }
  const uint32_t alphaOffset = body.U32();
  if (version >= 4) body.U16();  // deblocking strength: not applied
  if (alphaOffset > body.Remaining()) throw ParseError("DefineBitsJPEG" + std::to_string(version) + " alpha offset beyond the tag");
  const std::span<const uint8_t> imageData = body.Bytes(alphaOffset);
  const std::span<const uint8_t> alphaData = body.Rest();
  DecodedImage decoded = DecodeImageData(imageData, pixelBudget);
  TakeFromBudget(decoded.width, decoded.height, pixelBudget);
  if (!IsJpeg(imageData) || alphaData.empty()) return FromStraight(id, std::move(decoded));

  // The colours of a JPEG with an alpha plane are stored premultiplied
  // already; a colour above its alpha is clamped so that blending stays in
  // range. Pixels the plane does not reach stay opaque.
  const size_t pixelCount = static_cast<size_t>(decoded.width) * decoded.height;
  std::vector<uint8_t> alpha;
  try {
    alpha = InflateLimited(alphaData, pixelCount);
  } catch (const ParseError&) {
    alpha.clear();  // an unreadable plane: the picture stays opaque
  }
  Bitmap bitmap;
  bitmap.id = id;
  bitmap.width = decoded.width;
  bitmap.height = decoded.height;
  bitmap.pixels = std::move(decoded.rgba);
  for (size_t i = 0; i < alpha.size(); ++i) {
    uint8_t* p = &bitmap.pixels[i * 4];
    p[3] = alpha[i];
    for (int c = 0; c < 3; ++c) p[c] = std::min(p[c], alpha[i]);
  }
  return bitmap;
}

Bitmap DecodeDefineBitsLossless(BitReader& body, int version, size_t& pixelBudget) {
  Bitmap bitmap;
  bitmap.id = body.U16();
  const uint8_t format = body.U8();
  const int width = body.U16();
  const int height = body.U16();
  if (format != 3 && !(format == 4 && version == 1) && format != 5) {
    throw ParseError("DefineBitsLossless" + std::string(version == 2 ? "2" : "") + " with unknown format " +
                     std::to_string(format));
  }
  const size_t colorCount = format == 3 ? size_t{body.U8()} + 1 : 0;
  if (width == 0 || height == 0) throw ParseError("lossless bitmap without pixels");
  if (width > kMaxBitmapSide || height > kMaxBitmapSide ||
      static_cast<size_t>(width) * height > Allowed(pixelBudget)) {
    throw ParseError("lossless bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                     " pixels is out of range");
  }
  const bool withAlpha = version == 2;
  const size_t entrySize = withAlpha ? 4 : 3;
  size_t rowBytes = 0;
  switch (format) {
    case 3: rowBytes = (static_cast<size_t>(width) + 3) & ~size_t{3}; break;
    case 4: rowBytes = (static_cast<size_t>(width) * 2 + 3) & ~size_t{3}; break;
    default: rowBytes = static_cast<size_t>(width) * 4; break;
  }
  const size_t tableBytes = colorCount * entrySize;
  const size_t wanted = tableBytes + rowBytes * static_cast<size_t>(height);
  // A short stream leaves the rest of the picture transparent.
  std::vector<uint8_t> data = InflateLimited(body.Rest(), wanted);
  data.resize(wanted, 0);
  TakeFromBudget(width, height, pixelBudget);

  bitmap.width = width;
  bitmap.height = height;
  bitmap.pixels.assign(static_cast<size_t>(width) * height * 4, 0);
  // Colour tables and 32-bit pixels of Lossless2 are premultiplied already;
  // colours above alpha are clamped. Lossless (1) is always opaque.
  auto store = [&](uint8_t* out, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (!withAlpha) a = 255;
    out[0] = std::min(r, a);
    out[1] = std::min(g, a);
    out[2] = std::min(b, a);
    out[3] = a;
  };
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = data.data() + tableBytes + rowBytes * static_cast<size_t>(y);
    uint8_t* out = bitmap.pixels.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, out += 4) {
      if (format == 3) {
        const size_t index = row[x];
        if (index >= colorCount) continue;  // beyond the table: transparent
        const uint8_t* entry = data.data() + index * entrySize;
        store(out, entry[0], entry[1], entry[2], withAlpha ? entry[3] : 255);
      } else if (format == 4) {
        // PIX15: a big-endian 16-bit field, reserved bit then 5 bits each of R, G, B.
        const unsigned value = (unsigned{row[x * 2]} << 8) | row[x * 2 + 1];
        auto expand = [](unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
        store(out, expand((value >> 10) & 31), expand((value >> 5) & 31), expand(value & 31), 255);
      } else {
        const uint8_t* p = row + static_cast<size_t>(x) * 4;  // A (or reserved), R, G, B
        store(out, p[1], p[2], p[3], withAlpha ? p[0] : 255);
      }
    }
  }
  return bitmap;
}

}  // namespace

Bitmap ParseDefineBits(BitReader& body, std::span<const uint8_t> jpegTables, size_t& pixelBudget) {
  Bitmap bitmap = DecodeDefineBits(body, jpegTables, pixelBudget);
  AddReductions(bitmap, pixelBudget);
  return bitmap;
}

Bitmap ParseDefineBitsJpeg(BitReader& body, int version, size_t& pixelBudget) {
  Bitmap bitmap = DecodeDefineBitsJpeg(body, version, pixelBudget);
  AddReductions(bitmap, pixelBudget);
  return bitmap;
}

Bitmap ParseDefineBitsLossless(BitReader& body, int version, size_t& pixelBudget) {
  Bitmap bitmap = DecodeDefineBitsLossless(body, version, pixelBudget);
  AddReductions(bitmap, pixelBudget);
  return bitmap;
}

}  // namespace swf
