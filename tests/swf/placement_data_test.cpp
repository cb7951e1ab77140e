// PlaceObject2/3 data for the runtime: filters, blend modes and clip
// actions, written field by field and parsed as part of a movie.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "action_builder.h"
#include "character_builder.h"
#include "swf/parse/movie.h"
#include "swf/parse/tag_header.h"
#include "data_tag_support.h"

namespace swf {
namespace {

using swftest::BitWriter;
using swftest::Bytes;
using swftest::Fixed;
using swftest::Fixed8;
using swftest::Float;
using swftest::HasWarning;
using swftest::MovieOf;
namespace act = swftest::act;

const PlaceObject& FirstPlacement(const ParsedMovie& movie) {
  return std::get<PlaceObject>(movie.root.frames.at(0).tags.at(0));
}

// ---------------------------------------------------------------- filters

struct FilterCase {
  const char* name;
  Bytes bytes;  // FilterID and body
  Filter expected;
};
void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

std::vector<FilterCase> FilterCases() {
  std::vector<FilterCase> cases;
  {
    BitWriter w;
    w.U8(0);
    w.Rgba({1, 2, 3, 4});
    Fixed(w, 2.5);
    Fixed(w, 1);
    Fixed(w, 0.5);
    Fixed(w, 4);
    Fixed8(w, 1.5);
    w.U8(0xE3);
    cases.push_back({"DropShadow", w.Take(), DropShadowFilter{{1, 2, 3, 4}, 2.5, 1, 0.5, 4, 1.5, true, true, true, 3}});
  }
  {
    BitWriter w;
    w.U8(1);
    Fixed(w, 3);
    Fixed(w, 4);
    w.U8(2 << 3);
    cases.push_back({"Blur", w.Take(), BlurFilter{3, 4, 2}});
  }
  {
    BitWriter w;
    w.U8(2);
    w.Rgba({9, 8, 7, 6});
    Fixed(w, 5);
    Fixed(w, 6);
    Fixed8(w, 2);
    w.U8(0x41);
    cases.push_back({"Glow", w.Take(), GlowFilter{{9, 8, 7, 6}, 5, 6, 2, false, true, false, 1}});
  }
  {
    BitWriter w;
    w.U8(3);
    w.Rgba({0, 0, 0, 255});
    w.Rgba({255, 255, 255, 128});
    Fixed(w, 1);
    Fixed(w, 2);
    Fixed(w, -0.75);
    Fixed(w, 3);
    Fixed8(w, 0.5);
    w.U8(0x92);
    cases.push_back({"Bevel", w.Take(),
                     BevelFilter{{0, 0, 0, 255}, {255, 255, 255, 128}, 1, 2, -0.75, 3, 0.5, true, false, false, true, 2}});
  }
  for (const bool bevel : {false, true}) {
    BitWriter w;
    w.U8(bevel ? 7 : 4);
    w.U8(2);
    w.Rgba({255, 0, 0, 255});
    w.Rgba({0, 0, 255, 0});
    w.U8(0);
    w.U8(255);
    Fixed(w, 8);
    Fixed(w, 9);
    Fixed(w, 1.25);
    Fixed(w, 10);
    Fixed8(w, 3);
    w.U8(0x31);
    cases.push_back({bevel ? "GradientBevel" : "GradientGlow", w.Take(),
                     GradientFilter{bevel, {{255, 0, 0, 255}, {0, 0, 255, 0}}, {0, 255}, 8, 9, 1.25, 10, 3, false,
                                    false, true, true, 1}});
  }
  {
    BitWriter w;
    w.U8(5);
    w.U8(2);  // columns
    w.U8(1);  // rows
    Float(w, 2);
    Float(w, 0.5f);
    Float(w, 1);
    Float(w, -1);
    w.Rgba({10, 20, 30, 40});
    w.U8(0x03);
    cases.push_back({"Convolution", w.Take(), ConvolutionFilter{2, 1, 2, 0.5f, {1, -1}, {10, 20, 30, 40}, true, true}});
  }
  {
    BitWriter w;
    w.U8(6);
    ColorMatrixFilter expected;
    for (int i = 0; i < 20; ++i) {
      expected.matrix[i] = static_cast<float>(i) * 0.5f - 3;
      Float(w, expected.matrix[i]);
    }
    cases.push_back({"ColorMatrix", w.Take(), expected});
  }
  return cases;
}

// PlaceObject3 of character 1 at depth 1 with a filter list and blend mode.
Bytes PlaceObject3WithFilters(const std::vector<Bytes>& filters, uint8_t blendMode) {
  BitWriter w;
  w.U8(0x02);         // has character
  w.U8(0x01 | 0x02);  // has filters, has blend mode
  w.U16(1);
  w.U16(1);
  w.U8(static_cast<uint8_t>(filters.size()));
  for (const Bytes& filter : filters) w.Append(filter);
  w.U8(blendMode);
  return swftest::Tag(tag::kPlaceObject3, w.Take());
}

class FilterTest : public testing::TestWithParam<FilterCase> {};

TEST_P(FilterTest, EveryFieldIsKept) {
  const ParsedMovie movie = MovieOf({PlaceObject3WithFilters({GetParam().bytes}, 3)});
  const PlaceObject& place = FirstPlacement(movie);
  EXPECT_TRUE(place.hasFilters);
  ASSERT_EQ(place.filters.size(), 1u);
  EXPECT_TRUE(place.filters[0] == GetParam().expected);
  EXPECT_EQ(ToBlendMode(*place.blendMode), BlendMode::kMultiply);
}

TEST_P(FilterTest, AFilterCutOffByItsTagLosesThePlacementAlone) {
  Bytes cut = GetParam().bytes;
  cut.pop_back();
  BitWriter w;
  w.U8(0x02);
  w.U8(0x01);
  w.U16(1);
  w.U16(1);
  w.U8(1);
  w.Append(cut);
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kPlaceObject3, w.Take()), swftest::RemoveObject2(2)});
  EXPECT_TRUE(HasWarning(movie, tag::kPlaceObject3));
  ASSERT_EQ(movie.root.frames.at(0).tags.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<RemoveObject>(movie.root.frames[0].tags[0]));
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterTest, testing::ValuesIn(FilterCases()),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(FilterListTest, AllKindsInOneListKeepTheirOrder) {
  std::vector<Bytes> all;
  for (const FilterCase& c : FilterCases()) all.push_back(c.bytes);
  const ParsedMovie movie = MovieOf({PlaceObject3WithFilters(all, 14)});
  const PlaceObject& place = FirstPlacement(movie);
  ASSERT_EQ(place.filters.size(), all.size());
  const std::vector<FilterCase> cases = FilterCases();
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_TRUE(place.filters[i] == cases[i].expected) << cases[i].name;
  EXPECT_EQ(ToBlendMode(*place.blendMode), BlendMode::kHardLight);
}

TEST(FilterListTest, CountsLargerThanTheTagAreRefused) {
  BitWriter convolution;  // 255 x 255 cells claimed, none there
  convolution.U8(5);
  convolution.U8(255);
  convolution.U8(255);
  Float(convolution, 1);
  Float(convolution, 0);
  BitWriter gradient;  // 255 colours claimed, one there
  gradient.U8(4);
  gradient.U8(255);
  gradient.Rgba({1, 2, 3, 4});
  for (Bytes filter : {convolution.Take(), gradient.Take()}) {
    const ParsedMovie movie = MovieOf({PlaceObject3WithFilters({filter}, 0)});
    EXPECT_TRUE(HasWarning(movie, tag::kPlaceObject3));
    EXPECT_TRUE(movie.root.frames.empty() || movie.root.frames[0].tags.empty());
  }
}

// ----------------------------------------------------------- clip actions

void EventFlags(BitWriter& w, uint32_t events, int version) {
  w.U8(static_cast<uint8_t>(events >> 24));
  w.U8(static_cast<uint8_t>(events >> 16));
  if (version >= 6) {
    w.U8(static_cast<uint8_t>(events >> 8));
    w.U8(0);
  }
}

struct ClipRecord {
  uint32_t events = 0;
  uint8_t keyCode = 0;
  Bytes actions;
};

// PlaceObject2 (or 3) of character 1 at depth 1 with clip actions; `sizeBias`
// is added to the last record's size field.
Bytes PlaceWithClipActions(int placeVersion, int swfVersion, const std::vector<ClipRecord>& records,
                           uint32_t sizeBias = 0) {
  BitWriter w;
  w.U8(0x80 | 0x02);
  if (placeVersion == 3) w.U8(0);
  w.U16(1);
  w.U16(1);
  w.U16(0);
  uint32_t all = 0;
  for (const ClipRecord& r : records) all |= r.events;
  EventFlags(w, all, swfVersion);
  for (size_t i = 0; i < records.size(); ++i) {
    const ClipRecord& r = records[i];
    EventFlags(w, r.events, swfVersion);
    const bool key = (r.events & clip_event::kKeyPress) != 0;
    w.U32(static_cast<uint32_t>(r.actions.size() + (key ? 1 : 0)) + (i + 1 == records.size() ? sizeBias : 0));
    if (key) w.U8(r.keyCode);
    w.Append(r.actions);
  }
  EventFlags(w, 0, swfVersion);
  return swftest::Tag(placeVersion == 3 ? tag::kPlaceObject3 : tag::kPlaceObject2, w.Take());
}

struct ClipCase {
  const char* name;
  int placeVersion;
  int swfVersion;
  std::vector<ClipRecord> records;
};
void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.name; }

class ClipActionTest : public testing::TestWithParam<ClipCase> {};

TEST_P(ClipActionTest, EventsKeyCodesAndActionsAreKept) {
  const ClipCase& c = GetParam();
  const ParsedMovie movie =
      MovieOf({swftest::SquareShapeTag(1, 100, {255, 0, 0, 255}), PlaceWithClipActions(c.placeVersion, c.swfVersion, c.records)},
              static_cast<uint8_t>(c.swfVersion));
  EXPECT_TRUE(movie.warnings.empty());
  const PlaceObject& place = FirstPlacement(movie);
  EXPECT_TRUE(place.hasClipActions);
  EXPECT_EQ(place.characterId, 1);
  ASSERT_EQ(place.clipActions.records.size(), c.records.size());
  uint32_t all = 0;
  for (size_t i = 0; i < c.records.size(); ++i) {
    const ClipActionRecord& got = place.clipActions.records[i];
    EXPECT_EQ(got.events, c.records[i].events) << i;
    EXPECT_EQ(got.keyCode, c.records[i].keyCode) << i;
    EXPECT_EQ(Bytes(got.actions.code.begin(), got.actions.code.end()), c.records[i].actions) << i;
    EXPECT_EQ(got.actions.At(0).code, c.records[i].actions[0]) << i;
    all |= c.records[i].events;
  }
  EXPECT_EQ(place.clipActions.allEvents, all);
}

TEST_P(ClipActionTest, ARecordReachingPastItsTagKeepsThePlacementAndTheRecordsBefore) {
  const ClipCase& c = GetParam();
  const ParsedMovie movie = MovieOf(
      {swftest::SquareShapeTag(1, 100, {255, 0, 0, 255}), PlaceWithClipActions(c.placeVersion, c.swfVersion, c.records, 50)},
      static_cast<uint8_t>(c.swfVersion));
  EXPECT_TRUE(HasWarning(movie, c.placeVersion == 3 ? tag::kPlaceObject3 : tag::kPlaceObject2));
  const PlaceObject& place = FirstPlacement(movie);
  EXPECT_EQ(place.characterId, 1);
  EXPECT_FALSE(place.clipActionsError.empty());
  EXPECT_EQ(place.clipActions.records.size(), c.records.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(
    ClipActions, ClipActionTest,
    testing::Values(
        ClipCase{"TwoByteEventsBeforeVersion6", 2, 5,
                 {{clip_event::kLoad | clip_event::kEnterFrame, 0, {action::kStop, 0}},
                  {clip_event::kPress | clip_event::kRelease | clip_event::kKeyUp, 0, {action::kPlay, 0}}}},
        ClipCase{"FourByteEventsFromVersion6", 2, 6,
                 {{clip_event::kLoad | clip_event::kData, 0, {action::kStop, 0}},
                  {clip_event::kKeyPress, 13, {action::kPlay, 0}},
                  {clip_event::kConstruct | clip_event::kDragOut | clip_event::kDragOver, 0, {action::kNextFrame, 0}}}},
        ClipCase{"PlaceObject3", 3, 8,
                 {{clip_event::kInitialize, 0, {action::kStop, 0}}, {clip_event::kKeyPress, 37, {action::kPlay, 0}}}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(ClipActionSizeTest, AKeyPressRecordOfSizeZeroHasNoKeyCode) {
  BitWriter w;
  w.U8(0x80 | 0x02);
  w.U16(1);
  w.U16(1);
  w.U16(0);
  EventFlags(w, clip_event::kKeyPress | clip_event::kKeyUp, 6);
  EventFlags(w, clip_event::kKeyPress, 6);
  w.U32(0);
  EventFlags(w, clip_event::kKeyUp, 6);
  w.U32(2);
  w.Append({action::kStop, 0});
  EventFlags(w, 0, 6);
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kPlaceObject2, w.Take())}, 6);
  EXPECT_TRUE(movie.warnings.empty());
  const PlaceObject& place = FirstPlacement(movie);
  ASSERT_EQ(place.clipActions.records.size(), 2u);
  EXPECT_EQ(place.clipActions.records[0].keyCode, 0);
  EXPECT_TRUE(place.clipActions.records[0].actions.code.empty());
  EXPECT_TRUE(place.clipActions.records[0].actions.At(0).IsEnd());
  EXPECT_EQ(place.clipActions.records[1].events, clip_event::kKeyUp);
  EXPECT_EQ(place.clipActions.records[1].actions.At(0).code, action::kStop);
}

}  // namespace
}  // namespace swf
