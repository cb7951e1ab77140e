#pragma once
// Movies and packages for the player stub's tests, made in code.

#include <string>
#include <utility>
#include <vector>

#include "swf/parse/types.h"

namespace stubtest {

// A one-frame-or-more movie of `width` × `height` pixels on `background`,
// with a square of `squareColor` at (x, y) pixels; every further frame moves
// the square 20 pixels to the right.
std::string SquareMovie(int width, int height, swf::Rgba background, swf::Rgba squareColor, int x, int y,
                        int frames = 1, int frameRate = 24);

// A movie of `frames` frames at 12 a second that streams 44 kHz 16-bit mono
// (a square wave at quarter scale) in every frame and starts an event sound
// (a second of 22 kHz mono at level 6000) in its second frame.
std::string SoundMovie(int frames);

// The stub's package layout around an arbitrary payload: stub bytes, the
// compressed payload, then U and Z as given (the true ones by default).
struct CraftedPackage {
  std::string stub = "MZ stub";
  std::string payload;
  long long payloadSizeField = -1;     // -1: the real U
  long long compressedSizeField = -1;  // -1: the real Z
  std::string compressedOverride;      // non-empty: used instead of deflating
};
std::string Assemble(const CraftedPackage& crafted);

// A payload: movie data, directory text, release flag, reserved byte, date
// and a directory size (the real D unless given).
std::string Payload(const std::vector<std::pair<std::string, std::string>>& movies, unsigned char releaseFlag,
                    long long directorySizeField = -1, const std::string& directoryOverride = "");

}  // namespace stubtest
