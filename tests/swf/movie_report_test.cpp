// What a movie report names, on movies built tag by tag: each unsupported
// feature is found from the tags that carry it, and nothing is named for
// what the engine plays.
#include "swf/movie_report.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "action_builder.h"
#include "character_builder.h"
#include "swf/parse/movie.h"
#include "swf/parse/tag_header.h"
#include "swf_builder.h"

namespace {

using swftest::Bytes;
namespace act = swftest::act;

Bytes Square() { return swftest::SquareShapeTag(1, 400, swf::Rgba{200, 0, 0, 255}); }

Bytes PlaceCharacter(uint16_t id) {
  swftest::Place place;
  place.characterId = id;
  return swftest::PlaceObject2(place);
}

Bytes PlaceSquare() { return PlaceCharacter(1); }

Bytes FileAttributes(bool actionScript3) {
  return swftest::Tag(swf::tag::kFileAttributes, {uint8_t(actionScript3 ? 0x08 : 0), 0, 0, 0});
}

// PlaceObject3 of the square with the given extras.
Bytes PlaceObject3(bool oneFilter, int blendMode) {
  swftest::BitWriter w;
  w.U8(0x02);  // has character
  w.U8(static_cast<uint8_t>((blendMode >= 0 ? 0x02 : 0) | (oneFilter ? 0x01 : 0)));
  w.U16(1);
  w.U16(1);
  if (oneFilter) {
    w.U8(1);  // one filter: a blur
    w.U8(1);
    w.Append(Bytes(9, 0));
  }
  if (blendMode >= 0) w.U8(static_cast<uint8_t>(blendMode));
  return swftest::Tag(swf::tag::kPlaceObject3, w.Take());
}

// PlaceObject2 of the square with an (empty) list of clip event handlers.
Bytes PlaceWithClipActions() {
  swftest::BitWriter w;
  w.U8(0x80 | 0x02);
  w.U16(1);
  w.U16(1);
  w.U16(0);  // reserved
  w.U32(0);  // all events
  w.U32(0);  // end of the handlers
  return swftest::Tag(swf::tag::kPlaceObject2, w.Take());
}

// DefineFont2 without glyphs: text drawn with a font of the system.
Bytes DeviceFont(uint16_t id) {
  swftest::BitWriter w;
  w.U16(id);
  w.U8(0);  // flags
  w.U8(0);  // language
  w.U8(5);
  for (char c : std::string("Arial")) w.U8(static_cast<uint8_t>(c));
  w.U16(0);  // no glyphs
  return swftest::Tag(swf::tag::kDefineFont2, w.Take());
}

Bytes Raw(uint16_t code) { return swftest::Tag(code, Bytes{1, 0, 0, 0}); }

// Tags the parser reads, each the smallest well-formed body.
Bytes ExportAssets() { return swftest::Tag(56, {1, 0, 1, 0, 'a', 0}); }
Bytes EditText() { return swftest::Tag(37, {9, 0, 0, 0, 0, 0}); }  // id 9, empty bounds, no flags, no variable
Bytes ReadOnlyEditText() { return swftest::Tag(37, {9, 0, 0, 0x08, 0, 0}); }
Bytes ImportAssets() { return swftest::Tag(57, {'a', '.', 's', 'w', 'f', 0, 1, 0, 1, 0, 'b', 0}); }
Bytes ImportAssets2() { return swftest::Tag(71, {'a', '.', 's', 'w', 'f', 0, 1, 0, 1, 0, 1, 0, 'b', 0}); }
// Sound 4: one stereo 16-bit frame of uncompressed little-endian samples.
Bytes DefineSound() { return swftest::Tag(14, {4, 0, 0x3F, 1, 0, 0, 0, 0, 0, 0, 0}); }
Bytes StartSound() { return swftest::Tag(15, {4, 0, 0}); }
Bytes StreamHead() { return swftest::Tag(18, {0x0F, 0x3F, 1, 0}); }
Bytes StreamBlock() { return swftest::Tag(19, {0, 0, 0, 0}); }

struct ReportCase {
  const char* what;
  std::vector<Bytes> tags;  // ShowFrame is appended
  std::vector<std::string> expected;
};

std::vector<ReportCase> Cases() {
  const Bytes timelineScript = act::DoAction({act::Stop(), act::GotoFrame(0), act::GotoLabel("x"), act::Play(),
                                              act::ConstantPool({"clip"}), act::PushConstant(0), act::Simple(0x20),
                                              act::PushInteger(2), act::GotoFrame2(true), act::NextFrame()});
  const Bytes getVariable = act::DoAction({act::PushString("a"), act::Simple(0x1C), act::Simple(0x17)});
  const Bytes sprite = swftest::DefineSprite(
      2, 1, {PlaceSquare(), act::DoAction({act::Stop(), act::PushString("f"), act::Simple(0x3D)}),
             swftest::ShowFrame()});
  return {
      {"a plain timeline with timeline scripts, a sprite, a glyph font and a button-free stage",
       {Square(), swftest::DefineSprite(3, 1, {PlaceSquare(), act::DoAction({act::Stop()}), swftest::ShowFrame()}),
        swftest::FontTag(2, 4, {swftest::RectangleEdges(0, 0, 100, 100)}), PlaceSquare(), timelineScript,
        PlaceObject3(false, 1), ExportAssets()},
       {}},
      {"ActionScript 3 code", {FileAttributes(true), Raw(swf::tag::kDoAbc), Square(), PlaceSquare()}, {"as3"}},
      {"early ActionScript 3 code", {Raw(swf::tag::kDoAbcEarly)}, {"as3"}},
      // Scripts run: none of them is reported.
      {"a frame script that reads a variable", {Square(), PlaceSquare(), getVariable}, {}},
      {"a function called in a sprite's frame", {Square(), sprite}, {}},
      {"an init action that defines a function",
       {Square(), act::DoInitAction(2, {act::WithPayload(0x9B, {0, 0, 0, 0, 0})})},
       {}},
      {"clip event handlers", {Square(), PlaceWithClipActions()}, {}},
      {"a video stream", {Raw(60)}, {"video"}},
      {"video frames in a sprite", {swftest::DefineSprite(2, 1, {Raw(61), swftest::ShowFrame()})}, {"video"}},
      {"a button defined and never placed", {Square(), swftest::ButtonTag(2, 5, {{0x0F, 1, 1, {}}})}, {}},
      {"a button placed in a sprite: buttons are played",
       {Square(), swftest::ButtonTag(2, 5, {{0x0F, 1, 1, {}}}),
        swftest::DefineSprite(6, 1, {PlaceCharacter(5), swftest::ShowFrame()})},
       {}},
      {"an input text field", {EditText()}, {"input-text"}},
      {"a read-only text field (drawn)", {ReadOnlyEditText()}, {}},
      {"imported symbols", {ImportAssets()}, {"imports"}},
      {"imported symbols, second form", {ImportAssets2()}, {"imports"}},
      {"an event sound", {DefineSound(), StartSound()}, {}},
      {"a sound stream in a sprite", {swftest::DefineSprite(2, 1, {StreamHead(), StreamBlock(), swftest::ShowFrame()})}, {}},
      {"a filter (drawn)", {Square(), PlaceObject3(true, -1)}, {}},
      {"a multiply blend (drawn)", {Square(), PlaceObject3(false, 3)}, {}},
      {"a device font", {DeviceFont(7)}, {"device-fonts"}},
      {"a scaling grid", {Square(), Raw(78)}, {"scaling-grids"}},
      {"several, most important first",
       {DefineSound(), Square(), PlaceObject3(true, 5), getVariable, Raw(60)},
       {"video"}},
  };
}

std::vector<std::string> Names(const swf::MovieReport& report) {
  std::vector<std::string> names;
  for (const auto& feature : report.unsupported) names.emplace_back(feature.name);
  return names;
}

swf::MovieReport ReportOf(std::vector<Bytes> tags, swftest::Signature signature = swftest::Signature::kFws) {
  tags.push_back(swftest::ShowFrame());
  const Bytes file = swftest::Movie(tags, signature);
  return swf::ReportMovie(swf::ParseMovie(file));
}

TEST(MovieReportTest, NamesWhatEachMovieUsesThatIsNotSupported) {
  for (const ReportCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    const swf::MovieReport report = ReportOf(c.tags);
    EXPECT_TRUE(report.warnings.empty()) << report.warnings.front();
    EXPECT_EQ(Names(report), c.expected);
    EXPECT_EQ(swf::NoticeLine(report).empty(), c.expected.empty());
  }
}

TEST(MovieReportTest, EveryFeatureOfTheCatalogueHasACase) {
  std::set<std::string> covered;
  for (const ReportCase& c : Cases()) covered.insert(c.expected.begin(), c.expected.end());
  std::set<std::string> names;
  for (const auto& feature : swf::UnsupportedFeatureCatalogue()) {
    EXPECT_TRUE(names.insert(std::string(feature.name)).second) << "twice: " << feature.name;
    EXPECT_FALSE(feature.phrase.empty());
  }
  EXPECT_EQ(covered, names);
}

TEST(MovieReportTest, GivesTheHeaderFiguresAndTheNoticeOfTheFirstFeature) {
  std::vector<Bytes> tags = {FileAttributes(true), Raw(swf::tag::kDoAbc), Raw(60), Square(), PlaceSquare(),
                             swftest::ShowFrame(), swftest::ShowFrame()};
  const swf::MovieReport report = ReportOf(tags, swftest::Signature::kCws);
  EXPECT_EQ(report.version, 10);
  EXPECT_EQ(swf::CompressionName(report.compression), "zlib");
  EXPECT_EQ(report.stage, (swf::Rect{0, 4000, 0, 3000}));
  EXPECT_EQ(report.frameRate, 24.0);
  EXPECT_EQ(report.frameCount, 3u);
  EXPECT_EQ(report.declaredFrameCount, 1);
  EXPECT_TRUE(report.actionScript3Flag);
  EXPECT_EQ(Names(report), (std::vector<std::string>{"as3", "video"}));
  EXPECT_EQ(swf::NoticeLine(report), "ActionScript 3 is not run: this movie may not work in a package");

  EXPECT_EQ(swf::CompressionName(ReportOf({}, swftest::Signature::kZws).compression), "lzma");
  EXPECT_EQ(swf::CompressionName(ReportOf({}).compression), "none");
}

// The flag alone changes nothing a player shows: such a movie has no code
// to run, and its frame scripts are ignored by every player alike.
TEST(MovieReportTest, TheActionScript3FlagWithoutCodeIsNoFeature) {
  const Bytes getVariable = act::DoAction({act::PushString("a"), act::Simple(0x1C)});
  const swf::MovieReport report = ReportOf({FileAttributes(true), Square(), PlaceSquare(), getVariable});
  EXPECT_TRUE(report.actionScript3Flag);
  EXPECT_TRUE(report.unsupported.empty());
}

}  // namespace
