#include "swf/movie_report.h"

#include <algorithm>
#include <array>
#include <functional>
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

// Calls `visit` for every timeline of the movie: the root and the sprites.
void ForEachTimeline(const ParsedMovie& movie, const std::function<void(const TimelineDefinition&)>& visit) {
  visit(movie.root);
  for (const auto& [id, character] : movie.characters) {
    if (const auto* sprite = std::get_if<SpriteDefinition>(&character)) visit(sprite->timeline);
  }
}

// True when a record of some button, in any of its states, passes `test`.
bool AnyButtonRecord(const ParsedMovie& movie, const std::function<bool(const ButtonRecord&)>& test) {
  return std::any_of(movie.characters.begin(), movie.characters.end(), [&](const auto& entry) {
    const auto* button = std::get_if<ButtonDefinition>(&entry.second);
    return button != nullptr && std::any_of(button->records.begin(), button->records.end(), test);
  });
}

bool AnyPlacement(const ParsedMovie& movie, const std::function<bool(const PlaceObject&)>& test) {
  bool found = false;
  ForEachTimeline(movie, [&](const TimelineDefinition& timeline) {
    for (const Frame& frame : timeline.frames) {
      for (const ControlTag& tag : frame.tags) {
        const auto* place = std::get_if<PlaceObject>(&tag);
        if (place != nullptr && test(*place)) found = true;
      }
    }
  });
  return found;
}

bool AnyActionBlock(const ParsedMovie& movie, const std::function<bool(const ActionBlock&)>& test) {
  bool found = false;
  ForEachTimeline(movie, [&](const TimelineDefinition& timeline) {
    for (const Frame& frame : timeline.frames) {
      for (const ActionBlock& block : frame.actions) found = found || test(block);
      for (const InitActionBlock& init : frame.initActions) found = found || test(init.block);
    }
  });
  return found;
}

// The actions the timeline runs (or may skip without changing what a
// timeline does): playing, stopping, gotos and SetTarget, and what finds
// their operands.
bool IsTimelineAction(uint8_t code) {
  static constexpr std::array<uint8_t, 17> kTimelineActions = {
      0x04,  // NextFrame
      0x05,  // PrevFrame
      0x06,  // Play
      0x07,  // Stop
      0x17,  // Pop
      0x20,  // SetTarget2
      0x26,  // Trace (a standalone player has nowhere to print)
      0x81,  // GotoFrame
      0x88,  // ConstantPool
      0x8A,  // WaitForFrame (a local movie has all its frames)
      0x8B,  // SetTarget
      0x8C,  // GotoLabel
      0x8D,  // WaitForFrame2
      0x96,  // Push
      0x99,  // Jump
      0x9D,  // If
      0x9F,  // GotoFrame2
  };
  return std::find(kTimelineActions.begin(), kTimelineActions.end(), code) != kTimelineActions.end();
}

// True when a block holds an action record beyond the timeline actions.
// Records are followed in file order up to the end record or a record cut
// off; a function's body follows its definition, which is itself beyond.
bool RunsMoreThanTimelineActions(const ActionBlock& block) {
  // A record that claims more bytes than the block holds leads to its end.
  for (const Operation* op = &block.At(0); !op->IsEnd(); op = &block.At(op->Next())) {
    if (!IsTimelineAction(op->code)) return true;
  }
  return false;
}

bool UsesAs3Code(const ParsedMovie& movie) { return movie.hasAs3Code; }

bool UsesScripts(const ParsedMovie& movie) {
  return AnyActionBlock(movie, RunsMoreThanTimelineActions) ||
         AnyPlacement(movie, [](const PlaceObject& place) { return place.hasClipActions; });
}

bool UsesVideo(const ParsedMovie& movie) { return HasRawTag(movie, {raw::kDefineVideoStream, raw::kVideoFrame}); }

bool UsesTextFields(const ParsedMovie& movie) {
  return std::any_of(movie.characters.begin(), movie.characters.end(), [](const auto& entry) {
    return std::holds_alternative<EditTextDefinition>(entry.second);
  });
}

bool UsesImports(const ParsedMovie& movie) { return !movie.imports.empty(); }

bool UsesFilters(const ParsedMovie& movie) {
  return AnyPlacement(movie, [](const PlaceObject& place) { return place.hasFilters; }) ||
         AnyButtonRecord(movie, [](const ButtonRecord& record) { return !record.filters.empty(); });
}

// Blend modes 0 and 1 both mean "normal".
bool UsesBlendModes(const ParsedMovie& movie) {
  return AnyPlacement(movie, [](const PlaceObject& place) { return place.blendMode.value_or(0) > 1; }) ||
         AnyButtonRecord(movie, [](const ButtonRecord& record) { return record.blendMode.value_or(0) > 1; });
}

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
    {{"actionscript", "ActionScript beyond stop, play and goto is not run"}, UsesScripts},
    {{"video", "Video is not played"}, UsesVideo},
    {{"text-fields", "Text fields are not shown"}, UsesTextFields},
    {{"imports", "Symbols imported from other movies are not shown"}, UsesImports},
    {{"filters", "Filters are not drawn"}, UsesFilters},
    {{"blend-modes", "Blend modes are not drawn"}, UsesBlendModes},
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
