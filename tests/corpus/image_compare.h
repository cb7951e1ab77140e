#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace corpus {

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // 4 bytes a pixel, rows top to bottom
};

// Reads any PNG as 8-bit RGBA; throws std::runtime_error.
RgbaImage ReadPng(const std::filesystem::path& path);

// Per pixel, the largest channel difference after compositing both images
// over black and over white (the worse of the two). Sizes must match.
std::vector<int> PixelDifferences(const RgbaImage& actual, const RgbaImage& expected);

int CountOutliers(const std::vector<int>& differences, int tolerance);

// Grey copy of `expected`, outliers red, smaller differences blue.
RgbaImage DiffPicture(const RgbaImage& expected, const std::vector<int>& differences, int tolerance);

}  // namespace corpus
