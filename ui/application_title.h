#pragma once

namespace ui {

// The program's title: the main window's caption, its taskbar text and the
// caption of the general error report.
inline constexpr const char* kApplicationTitle = "Quorvel EXE Packager";

}  // namespace ui
