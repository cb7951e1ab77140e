#include "swf/movie_report.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <variant>

#include "swf/parse/movie.h"

namespace swf {
namespace {

// Codes of tags the parser keeps raw (ParsedMovie::unknownTags).
namespace raw {
constexpr uint16_t kDefineVideoStream = 60;
constexpr uint16_t kVideoFrame = 61;
constexpr uint16_t kDefineScalingGrid = 78;
}  // namespace raw

bool HasRawTag(const ParsedMovie& movie, std::initializer_list<uint16_t> codes) {
  return std::any_of(movie.unknownTags.begin(), movie.unknownTags.end(), [&](const RawTag& tag) {
    return std::find(codes.begin(), codes.end(), tag.code) != codes.end();
  });
}

bool UsesAs3Code(const ParsedMovie& movie) { return movie.hasAs3Code; }

bool UsesVideo(const ParsedMovie& movie) { return HasRawTag(movie, {raw::kDefineVideoStream, raw::kVideoFrame}); }

// Text fields are drawn; an input field does not take typing yet.
bool UsesInputText(const ParsedMovie& movie) {
  return std::any_of(movie.characters.begin(), movie.characters.end(), [](const auto& entry) {
    const auto* field = std::get_if<EditTextDefinition>(&entry.second);
    return field != nullptr && !field->readOnly;
  });
}

bool UsesImports(const ParsedMovie& movie) { return !movie.imports.empty(); }

// A font without outlines names a font of the system to draw with.
bool UsesDeviceFonts(const ParsedMovie& movie) {
  return std::any_of(movie.characters.begin(), movie.characters.end(), [](const auto& entry) {
    const auto* font = std::get_if<FontDefinition>(&entry.second);
    return font != nullptr && font->glyphs.empty();
  });
}

bool UsesScalingGrids(const ParsedMovie& movie) { return HasRawTag(movie, {raw::kDefineScalingGrid}); }

struct FeatureRow {
  UnsupportedFeature feature;
  bool (*usedBy)(const ParsedMovie& movie);
};

// What the engine does not do yet, most important first. When the engine
// learns one of these, its row goes.
constexpr FeatureRow kUnsupportedFeatures[] = {
    {{"as3", "ActionScript 3 is not run"}, UsesAs3Code},
    {{"video", "Video is not played"}, UsesVideo},
    {{"input-text", "Input text fields do not take typing"}, UsesInputText},
    {{"imports", "Symbols imported from other movies are not shown"}, UsesImports},
    {{"device-fonts", "Text in device fonts is not shown"}, UsesDeviceFonts},
    {{"scaling-grids", "Scaling grids are not applied"}, UsesScalingGrids},
};

}  // namespace

MovieReport ReportMovie(const ParsedMovie& movie) {
  MovieReport report;
  report.version = movie.header.version;
  report.compression = movie.header.compression;
  report.stage = movie.header.frameSize;
  report.frameRate = movie.header.frameRate;
  report.frameCount = movie.root.frames.size();
  report.declaredFrameCount = movie.header.frameCount;
  report.actionScript3Flag = movie.actionScript3Flag;
  for (const FeatureRow& row : kUnsupportedFeatures) {
    if (row.usedBy(movie)) report.unsupported.push_back(row.feature);
  }
  report.warnings = movie.warnings;
  return report;
}

std::vector<UnsupportedFeature> UnsupportedFeatureCatalogue() {
  std::vector<UnsupportedFeature> features;
  for (const FeatureRow& row : kUnsupportedFeatures) features.push_back(row.feature);
  return features;
}

std::string_view CompressionName(Compression compression) {
  switch (compression) {
    case Compression::kZlib: return "zlib";
    case Compression::kLzma: return "lzma";
    case Compression::kNone: break;
  }
  return "none";
}

std::string NoticeLine(const MovieReport& report) {
  if (report.unsupported.empty()) return {};
  return std::string(report.unsupported.front().phrase) + ": this movie may not work in a package";
}

}  // namespace swf
