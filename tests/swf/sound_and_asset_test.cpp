// Sound tags attached to their definitions and frames, and the names movies
// share characters under.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data_tag_support.h"
#include "swf/parse/movie.h"
#include "swf/parse/tag_header.h"

namespace swf {
namespace {

using swftest::BitWriter;
using swftest::Bytes;
using swftest::BytesOf;
using swftest::HasWarning;
using swftest::MovieOf;

struct SoundFormatCase {
  uint8_t formatByte;
  uint8_t format;
  uint8_t rate;
  bool is16Bit;
  bool stereo;
};

class DefineSoundTest : public testing::TestWithParam<SoundFormatCase> {};

TEST_P(DefineSoundTest, FormatBitsAndDataAreKept) {
  const SoundFormatCase& c = GetParam();
  BitWriter w;
  w.U16(3);
  w.U8(c.formatByte);
  w.U32(123456);
  w.Append({9, 8, 7});
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kDefineSound, w.Take())});
  ASSERT_EQ(movie.sounds.count(3), 1u);
  const SoundDefinition& sound = movie.sounds.at(3);
  EXPECT_EQ(sound.format, c.format);
  EXPECT_EQ(sound.rate, c.rate);
  EXPECT_EQ(sound.is16Bit, c.is16Bit);
  EXPECT_EQ(sound.stereo, c.stereo);
  EXPECT_EQ(sound.sampleCount, 123456u);
  EXPECT_EQ(BytesOf(sound.data), (Bytes{9, 8, 7}));
}

INSTANTIATE_TEST_SUITE_P(Sounds, DefineSoundTest,
                         testing::Values(SoundFormatCase{0x2F, sound_format::kMp3, 3, true, true},
                                         SoundFormatCase{0x00, 0, 0, false, false},
                                         SoundFormatCase{0x36, sound_format::kUncompressedLittleEndian, 1, true, false},
                                         SoundFormatCase{0x19, sound_format::kAdpcm, 2, false, true}));

struct SoundInfoCase {
  const char* name;
  Bytes bytes;
  SoundInfo expected;
};
void PrintTo(const SoundInfoCase& c, std::ostream* os) { *os << c.name; }

SoundInfo Info(bool stop, bool noMultiple, std::optional<uint32_t> in, std::optional<uint32_t> out,
               std::optional<uint16_t> loops, std::vector<SoundEnvelopePoint> envelope) {
  SoundInfo info;
  info.syncStop = stop;
  info.syncNoMultiple = noMultiple;
  info.inPoint = in;
  info.outPoint = out;
  info.loopCount = loops;
  info.envelope = std::move(envelope);
  return info;
}

class StartSoundTest : public testing::TestWithParam<SoundInfoCase> {};

TEST_P(StartSoundTest, SoundInfoFieldsAreKept) {
  BitWriter w;
  w.U16(3);
  w.Append(GetParam().bytes);
  BitWriter w2;
  w2.String("Click");
  w2.Append(GetParam().bytes);
  const ParsedMovie movie =
      MovieOf({swftest::Tag(tag::kStartSound, w.Take()), swftest::Tag(tag::kStartSound2, w2.Take())});
  EXPECT_TRUE(movie.warnings.empty());
  const std::vector<StartSound>& sounds = movie.root.frames.at(0).sounds;
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_EQ(sounds[0].soundId, 3);
  EXPECT_EQ(sounds[1].soundId, 0);
  EXPECT_EQ(sounds[1].className, "Click");
  for (const StartSound& sound : sounds) {
    const SoundInfo& expected = GetParam().expected;
    EXPECT_EQ(sound.info.syncStop, expected.syncStop);
    EXPECT_EQ(sound.info.syncNoMultiple, expected.syncNoMultiple);
    EXPECT_EQ(sound.info.inPoint, expected.inPoint);
    EXPECT_EQ(sound.info.outPoint, expected.outPoint);
    EXPECT_EQ(sound.info.loopCount, expected.loopCount);
    EXPECT_EQ(sound.info.envelope, expected.envelope);
  }
}

TEST_P(StartSoundTest, ASoundInfoCutOffIsSkippedAlone) {
  Bytes cut = GetParam().bytes;
  cut.pop_back();
  BitWriter w;
  w.U16(3);
  w.Append(cut);
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kStartSound, w.Take()), swftest::RemoveObject2(1)});
  EXPECT_TRUE(HasWarning(movie, tag::kStartSound));
  EXPECT_TRUE(movie.root.frames.at(0).sounds.empty());
  EXPECT_EQ(movie.root.frames[0].tags.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Sounds, StartSoundTest,
    testing::Values(SoundInfoCase{"Plain", {0x00}, Info(false, false, {}, {}, {}, {})},
                    SoundInfoCase{"StopOnly", {0x20}, Info(true, false, {}, {}, {}, {})},
                    SoundInfoCase{"Loops", {0x14, 5, 0}, Info(false, true, {}, {}, 5, {})},
                    SoundInfoCase{"Everything",
                                  {0x3F, 10, 0, 0, 0, 20, 0, 0, 0, 3, 0, 2, 0, 0, 0, 0, 0, 0x80, 0, 0, 0x44, 0xAC,
                                   0, 0, 0, 0, 0, 0x80},
                                  Info(true, true, 10, 20, 3, {{0, 32768, 0}, {44100, 0, 32768}})}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(SoundStreamTest, HeadsAndBlocksBelongToTheirTimelines) {
  BitWriter head2;  // MP3 at 44 kHz, 16-bit stereo, with latency
  head2.U8(0x0F);
  head2.U8(0x2F);
  head2.U16(1152);
  head2.U16(static_cast<uint16_t>(-20));
  BitWriter head;  // ADPCM at 11 kHz, 16-bit mono
  head.U8(0x06);
  head.U8(0x16);
  head.U16(512);
  BitWriter startInSprite;
  startInSprite.String("Loop");
  startInSprite.U8(0);
  std::vector<Bytes> tags = {
      swftest::DefineSprite(4, 1,
                            {swftest::Tag(tag::kSoundStreamHead, head.Take()), swftest::Tag(tag::kSoundStreamBlock, {5, 6}),
                             swftest::Tag(tag::kStartSound2, startInSprite.Take()), swftest::ShowFrame()}),
      swftest::Tag(tag::kSoundStreamHead2, head2.Take()),
      swftest::Tag(tag::kSoundStreamBlock, {1, 2, 3}),
      swftest::ShowFrame(),
      swftest::Tag(tag::kSoundStreamBlock, {4}),
  };
  const ParsedMovie movie = MovieOf(tags);
  EXPECT_TRUE(movie.warnings.empty());
  ASSERT_TRUE(movie.root.streamHead.has_value());
  const SoundStreamHead& rootHead = *movie.root.streamHead;
  EXPECT_EQ(rootHead.version, 2);
  EXPECT_EQ(rootHead.playbackRate, 3);
  EXPECT_TRUE(rootHead.playback16Bit);
  EXPECT_TRUE(rootHead.playbackStereo);
  EXPECT_EQ(rootHead.format, sound_format::kMp3);
  EXPECT_EQ(rootHead.rate, 3);
  EXPECT_EQ(rootHead.samplesPerBlock, 1152);
  EXPECT_EQ(rootHead.latencySeek, -20);
  ASSERT_EQ(movie.root.frames.size(), 2u);
  ASSERT_EQ(movie.root.frames[0].streamBlocks.size(), 1u);
  EXPECT_EQ(BytesOf(movie.root.frames[0].streamBlocks[0]), (Bytes{1, 2, 3}));
  EXPECT_EQ(BytesOf(movie.root.frames[1].streamBlocks.at(0)), (Bytes{4}));

  const auto& sprite = std::get<SpriteDefinition>(*movie.FindCharacter(4));
  ASSERT_TRUE(sprite.timeline.streamHead.has_value());
  EXPECT_EQ(sprite.timeline.streamHead->version, 1);
  EXPECT_EQ(sprite.timeline.streamHead->format, sound_format::kAdpcm);
  EXPECT_EQ(sprite.timeline.streamHead->rate, 1);
  EXPECT_TRUE(sprite.timeline.streamHead->is16Bit);
  EXPECT_FALSE(sprite.timeline.streamHead->stereo);
  EXPECT_FALSE(sprite.timeline.streamHead->latencySeek.has_value());
  ASSERT_EQ(sprite.timeline.frames.size(), 1u);
  EXPECT_EQ(BytesOf(sprite.timeline.frames[0].streamBlocks.at(0)), (Bytes{5, 6}));
  ASSERT_EQ(sprite.timeline.frames[0].sounds.size(), 1u);
  EXPECT_EQ(sprite.timeline.frames[0].sounds[0].className, "Loop");
}

// ----------------------------------------------------------------- assets

Bytes AssetList(const std::vector<AssetName>& assets, uint16_t claimedCount) {
  BitWriter w;
  w.U16(claimedCount);
  for (const AssetName& asset : assets) {
    w.U16(asset.characterId);
    w.String(asset.name);
  }
  return w.Take();
}

TEST(AssetTest, ExportsAndImportsKeepTheirNames) {
  const std::vector<AssetName> exported = {{2, "Ball"}, {3, "Box"}};
  BitWriter import1;
  import1.String("lib.swf");
  import1.Append(AssetList({{10, "Shared"}}, 1));
  BitWriter import2;
  import2.String("other.swf");
  import2.U8(1);
  import2.U8(0);
  import2.Append(AssetList({{11, "A"}, {12, "B"}}, 2));
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kExportAssets, AssetList(exported, 2)),
                                     swftest::Tag(tag::kImportAssets, import1.Take()),
                                     swftest::Tag(tag::kImportAssets2, import2.Take()),
                                     swftest::Tag(tag::kExportAssets, AssetList({{4, "Late"}}, 1))});
  EXPECT_TRUE(movie.warnings.empty());
  EXPECT_EQ(movie.exports, (std::vector<AssetName>{{2, "Ball"}, {3, "Box"}, {4, "Late"}}));
  ASSERT_EQ(movie.imports.size(), 2u);
  EXPECT_EQ(movie.imports[0].version, 1);
  EXPECT_EQ(movie.imports[0].url, "lib.swf");
  EXPECT_EQ(movie.imports[0].assets, (std::vector<AssetName>{{10, "Shared"}}));
  EXPECT_EQ(movie.imports[1].version, 2);
  EXPECT_EQ(movie.imports[1].url, "other.swf");
  EXPECT_EQ(movie.imports[1].assets, (std::vector<AssetName>{{11, "A"}, {12, "B"}}));
}

TEST(AssetTest, ACountBeyondTheTagFailsThatTagAlone) {
  const ParsedMovie movie = MovieOf({swftest::Tag(tag::kExportAssets, AssetList({{2, "Ball"}}, 65535)),
                                     swftest::Tag(tag::kExportAssets, AssetList({{3, "Box"}}, 1))});
  EXPECT_TRUE(HasWarning(movie, tag::kExportAssets));
  EXPECT_EQ(movie.exports, (std::vector<AssetName>{{3, "Box"}}));
}

}  // namespace
}  // namespace swf
