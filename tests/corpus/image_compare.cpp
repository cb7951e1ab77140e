#include "image_compare.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace corpus {
namespace {

int Composite(int color, int alpha, int background) {
  return (color * alpha + background * (255 - alpha) + 127) / 255;
}

}  // namespace

RgbaImage ReadPng(const std::filesystem::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.string().c_str())) {
    throw std::runtime_error("cannot read " + path.string() + ": " + image.message);
  }
  image.format = PNG_FORMAT_RGBA;
  RgbaImage result;
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  result.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, result.pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    throw std::runtime_error("cannot decode " + path.string() + ": " + image.message);
  }
  return result;
}

std::vector<int> PixelDifferences(const RgbaImage& actual, const RgbaImage& expected) {
  const size_t count = static_cast<size_t>(actual.width) * actual.height;
  std::vector<int> differences(count, 0);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* a = &actual.pixels[i * 4];
    const uint8_t* e = &expected.pixels[i * 4];
    int worst = 0;
    for (int background : {0, 255}) {
      for (int ch = 0; ch < 3; ++ch) {
        worst = std::max(worst, std::abs(Composite(a[ch], a[3], background) - Composite(e[ch], e[3], background)));
      }
    }
    differences[i] = worst;
  }
  return differences;
}

int CountOutliers(const std::vector<int>& differences, int tolerance) {
  return static_cast<int>(std::count_if(differences.begin(), differences.end(), [&](int d) { return d > tolerance; }));
}

RgbaImage DiffPicture(const RgbaImage& expected, const std::vector<int>& differences, int tolerance) {
  RgbaImage diff{expected.width, expected.height, std::vector<uint8_t>(expected.pixels.size())};
  for (size_t i = 0; i < differences.size(); ++i) {
    uint8_t* out = &diff.pixels[i * 4];
    const uint8_t* e = &expected.pixels[i * 4];
    const int d = differences[i];
    out[3] = 255;
    if (d > tolerance) {
      out[0] = static_cast<uint8_t>(std::min(255, 128 + d));
      out[1] = out[2] = 0;
    } else if (d > 0) {
      out[0] = out[1] = 0;
      out[2] = static_cast<uint8_t>(std::min(255, 128 + 8 * d));
    } else {
      const int grey = (e[0] * 3 + e[1] * 6 + e[2]) / 10;
      out[0] = out[1] = out[2] = static_cast<uint8_t>(160 + grey * 95 / 255);
    }
  }
  return diff;
}

}  // namespace corpus
