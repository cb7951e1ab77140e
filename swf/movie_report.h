#pragma once
// What will play: a parsed movie's vital figures (version, stage, frame rate
// and count, compression) beside what it uses that this engine does not run
// or draw yet, each named, found from the movie's own tags and records.
// Computed from the parse data alone, so that any player or tool can show it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "swf/parse/header.h"

namespace swf {

struct ParsedMovie;

// Something a movie uses that is not run or not drawn.
struct UnsupportedFeature {
  std::string_view name;    // stable, for scripts: "as3", "video", ...
  std::string_view phrase;  // for people, a sentence without its full stop
};

struct MovieReport {
  uint8_t version = 0;
  Compression compression = Compression::kNone;
  Rect stage;  // twips
  double frameRate = 0;
  size_t frameCount = 0;             // ShowFrame tags of the root
  uint16_t declaredFrameCount = 0;   // what the header says
  bool actionScript3Flag = false;    // FileAttributes asks for ActionScript 3
  // Most important first: the first one is what a player warns about.
  std::vector<UnsupportedFeature> unsupported;
  std::vector<std::string> warnings;  // broken tags that were skipped
};

MovieReport ReportMovie(const ParsedMovie& movie);

// Every feature the report can name, most important first.
std::vector<UnsupportedFeature> UnsupportedFeatureCatalogue();

// "none", "zlib" or "lzma".
std::string_view CompressionName(Compression compression);

// The one line a player shows over such a movie, about its most important
// unsupported feature; empty when the movie uses nothing unsupported.
std::string NoticeLine(const MovieReport& report);

}  // namespace swf
