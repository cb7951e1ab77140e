#pragma once

// A JPEG, PNG or GIF file loaded into a clip shows as a movie of one frame
// holding the picture at its top-left corner, one pixel a pixel.

#include <cstdint>
#include <memory>
#include <span>

#include "swf/parse/movie.h"

namespace swf {

// The movie showing the image in `file`; null when the file is none of
// those images or cannot be decoded. `version` is the SWF version it
// answers to.
std::unique_ptr<const ParsedMovie> MovieOfImage(std::span<const uint8_t> file, uint8_t version);

}  // namespace swf
