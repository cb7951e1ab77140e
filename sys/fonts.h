#pragma once

#include <memory>

#include "swf/text/font.h"

namespace sys {

// The fonts installed on this system, for text the engine draws in device
// fonts: FreeType over the installed font files natively, GDI's glyph
// outlines on Windows. "_sans", "_serif" and "_typewriter" name the usual
// faces of their kind; a face that is not installed falls back to the
// usual serif face, as the default format's Times New Roman does.
std::unique_ptr<swf::text::FontSource> CreateFontSource();

}  // namespace sys
