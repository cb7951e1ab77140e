#pragma once

#include <windows.h>

namespace ui {

// Dispatches messages until WM_QUIT; returns its exit code. Errors never get
// here: every window procedure reports its own (see Window).
int RunMessageLoop();

// Handles every message that is waiting now, once, and returns. A WM_QUIT
// met on the way is posted again so that the main loop still sees it.
void ProcessPendingMessages();

}  // namespace ui
