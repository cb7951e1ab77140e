#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testsupport {

// Copies a `width` x `height` block at (x, y) of `source` into memory:
// 0x00RRGGBB, rows top to bottom.
std::vector<uint32_t> CopyPixels(HDC source, int x, int y, int width, int height);

}  // namespace testsupport
