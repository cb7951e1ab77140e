#pragma once
// Reading real pixels of live windows, frame included, and letting pending
// painting happen.

#include <windows.h>

namespace about_test {

// The pixel at (x, y) of the whole window (0, 0 is the window's top-left
// corner, outside the client area).
COLORREF WindowPixel(HWND window, int x, int y);

// Paints whatever is invalid in the window now (client area and frame),
// without handling any other message.
void PaintNow(HWND window);

// Handles every pending message of the thread once.
void PumpMessages();

// True when the window has something waiting to be painted.
bool HasPendingPaint(HWND window);

}  // namespace about_test
