#include <gtest/gtest.h>

#include <zlib.h>

#include "swf/parse/header.h"
#include "swf/parse/movie.h"
#include "swf/parse/parse_error.h"
#include "swf/parse/tag_header.h"
#include "swf_builder.h"

namespace swf {
namespace {

using swftest::Bytes;
using swftest::Signature;

std::vector<Bytes> TwoFrameTags() {
  return {swftest::Tag(tag::kSetBackgroundColor, {0x10, 0x20, 0x30}), swftest::SquareShapeTag(1, 200, {255, 0, 0, 255}),
          swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
          swftest::RemoveObject2(1), swftest::ShowFrame()};
}

class SignatureTest : public testing::TestWithParam<Signature> {};

TEST_P(SignatureTest, EveryCompressionGivesTheSameMovie) {
  const Bytes file = swftest::Movie(TwoFrameTags(), GetParam(), 13, {0, 11000, 0, 8000}, 0x0C80, 2);
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.body.size() + 8, movie.header.declaredLength);  // every byte, up to the End tag
  EXPECT_EQ(movie.header.version, 13);
  EXPECT_EQ(movie.header.frameSize, (Rect{0, 11000, 0, 8000}));
  EXPECT_DOUBLE_EQ(movie.header.frameRate, 12.5);  // 8.8 fixed point
  EXPECT_EQ(movie.header.frameCount, 2);
  ASSERT_EQ(movie.root.frames.size(), 2u);
  EXPECT_EQ(movie.root.frames[0].tags.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<RemoveObject>(movie.root.frames[1].tags[0]));
  ASSERT_TRUE(movie.backgroundColor.has_value());
  EXPECT_EQ(*movie.backgroundColor, (Rgba{0x10, 0x20, 0x30, 255}));
  EXPECT_NE(movie.FindCharacter(1), nullptr);
  EXPECT_TRUE(movie.warnings.empty());
}

INSTANTIATE_TEST_SUITE_P(Compression, SignatureTest,
                         testing::Values(Signature::kFws, Signature::kCws, Signature::kZws, Signature::kZwsNoEndMarker));

TEST(HeaderTest, RejectsWhatIsNotAMovie) {
  EXPECT_THROW(DecodeMovie(Bytes{'F', 'W', 'S'}), ParseError);
  EXPECT_THROW(DecodeMovie(Bytes{'G', 'W', 'S', 10, 20, 0, 0, 0, 0, 0, 0, 0}), ParseError);
  // The signature is fine but the frame size is cut off.
  EXPECT_THROW(DecodeMovie(Bytes{'F', 'W', 'S', 10, 9, 0, 0, 0, 0xFF}), ParseError);
}

TEST(HeaderTest, RefusesADeclaredLengthBeyondTheLimit) {
  Bytes file = swftest::Movie(TwoFrameTags(), Signature::kCws);
  try {
    DecodeMovie(file, 64);
    FAIL() << "no error";
  } catch (const ParseError& error) {
    EXPECT_NE(std::string(error.what()).find("limit"), std::string::npos) << error.what();
  }
  // The default limit is 256 MiB, whatever the file claims.
  file[4] = 0x01;
  file[5] = 0x00;
  file[6] = 0x00;
  file[7] = 0x10;  // 256 MiB + 1
  EXPECT_THROW(DecodeMovie(file), ParseError);
}

TEST(HeaderTest, DecompressionStopsAtTheDeclaredLength) {
  // A zlib stream that holds 1000 bytes more than the header declares.
  Bytes body;
  swftest::BitWriter w;
  w.Rect({0, 100, 0, 100});
  w.U16(0x1800);
  w.U16(1);
  body = w.Take();
  const size_t declared = body.size() + 8;
  body.resize(body.size() + 1000, 0xAA);
  uLongf size = compressBound(static_cast<uLong>(body.size()));
  Bytes packed(size);
  ASSERT_EQ(compress2(packed.data(), &size, body.data(), static_cast<uLong>(body.size()), 9), Z_OK);
  packed.resize(size);
  Bytes file = {'C', 'W', 'S', 10, static_cast<uint8_t>(declared), 0, 0, 0};
  file.insert(file.end(), packed.begin(), packed.end());
  const DecodedMovie movie = DecodeMovie(file);
  EXPECT_EQ(movie.body.size(), declared - 8);
}

TEST(HeaderTest, LzmaDictionaryClaimBeyondTheMovieIsNotAllocated) {
  // Properties may claim a 4 GiB dictionary; a 32-bit program cannot have
  // one, and the movie never needs more than its own length.
  swftest::Bytes file = swftest::Movie(TwoFrameTags(), Signature::kZws);
  for (size_t i = 13; i < 17; ++i) file[i] = 0xFF;
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.root.frames.size(), 2u);
  EXPECT_EQ(movie.body.size() + 8, movie.header.declaredLength);
}

TEST(HeaderTest, TruncatedCompressedDataKeepsWhatDecoded) {
  Bytes file = swftest::Movie(TwoFrameTags(), Signature::kCws);
  file.resize(file.size() - 6);  // loses the Adler-32 and a little data
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.header.frameSize, (Rect{0, 4000, 0, 3000}));
  EXPECT_GE(movie.root.frames.size(), 1u);
}

TEST(HeaderTest, CorruptZlibDataIsAClearError) {
  Bytes file = {'C', 'W', 'S', 10, 100, 0, 0, 0, 0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_THROW(DecodeMovie(file), ParseError);
}

TEST(TagParseTest, ShortAndLongTagHeaders) {
  swftest::BitWriter w;
  w.Append(swftest::Tag(9, {1, 2, 3}));
  w.Append(swftest::Tag(9, {4, 5, 6}, true));
  const Bytes bytes = w.Take();
  BitReader reader(bytes, 50);
  const TagHeader a = ReadTagHeader(reader);
  EXPECT_EQ(a.code, 9);
  EXPECT_EQ(a.length, 3u);
  EXPECT_EQ(a.bodyOffset, 52u);
  reader.Skip(a.length);
  const TagHeader b = ReadTagHeader(reader);
  EXPECT_EQ(b.code, 9);
  EXPECT_EQ(b.length, 3u);
  EXPECT_EQ(b.bodyOffset, 61u);
}

TEST(TagParseTest, UnknownTagsAreKeptRawAndSkipped) {
  const Bytes file = swftest::Movie(
      {swftest::Tag(777, {9, 8, 7}), swftest::Tag(60, Bytes(100, 0x55)), swftest::ShowFrame()});
  const ParsedMovie movie = ParseMovie(file);
  ASSERT_EQ(movie.unknownTags.size(), 2u);
  EXPECT_EQ(movie.unknownTags[0].code, 777);
  EXPECT_EQ(Bytes(movie.unknownTags[0].body.begin(), movie.unknownTags[0].body.end()), (Bytes{9, 8, 7}));
  EXPECT_EQ(movie.unknownTags[1].body.size(), 100u);
  EXPECT_EQ(movie.root.frames.size(), 1u);
}

TEST(TagParseTest, ABrokenTagFailsAloneAndIsReported) {
  // A shape whose fill style type does not exist, then a good shape.
  swftest::BitWriter bad;
  bad.U16(5);
  bad.Rect({0, 10, 0, 10});
  bad.U8(1);
  bad.U8(0x33);  // no such fill type
  const Bytes file = swftest::Movie({swftest::Tag(tag::kDefineShape3, bad.Take()),
                                     swftest::SquareShapeTag(6, 100, {0, 0, 255, 255}), swftest::ShowFrame()});
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.FindCharacter(5), nullptr);
  EXPECT_NE(movie.FindCharacter(6), nullptr);
  ASSERT_EQ(movie.warnings.size(), 1u);
  EXPECT_NE(movie.warnings[0].find("tag 32"), std::string::npos) << movie.warnings[0];
}

TEST(TagParseTest, ATagReadingPastItsLengthDoesNotReadTheNextTag) {
  // PlaceObject2 claims a character id but its body ends after the depth.
  const Bytes file = swftest::Movie({swftest::Tag(tag::kPlaceObject2, {0x02, 0x01, 0x00}),
                                     swftest::Tag(tag::kSetBackgroundColor, {1, 2, 3}), swftest::ShowFrame()});
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.warnings.size(), 1u);
  ASSERT_TRUE(movie.backgroundColor.has_value());
  EXPECT_EQ(*movie.backgroundColor, (Rgba{1, 2, 3, 255}));
}

TEST(TagParseTest, ATagLongerThanTheFileEndsTheTagStream) {
  Bytes file = swftest::Movie({swftest::SquareShapeTag(1, 100, {0, 0, 0, 255}), swftest::ShowFrame(),
                               swftest::Tag(tag::kSetBackgroundColor, {1, 2, 3})});
  // Make the last real tag claim far more bytes than remain.
  file.resize(file.size() - 2 - 5);  // drop End and the background tag
  file.push_back(static_cast<uint8_t>((tag::kSetBackgroundColor << 6) | 0x3F));
  file.push_back(static_cast<uint8_t>(tag::kSetBackgroundColor >> 2));
  file.insert(file.end(), {0xFF, 0xFF, 0x00, 0x00, 1, 2, 3});
  file[4] = static_cast<uint8_t>(file.size());
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_EQ(movie.root.frames.size(), 1u);
  EXPECT_FALSE(movie.backgroundColor.has_value());
  EXPECT_EQ(movie.warnings.size(), 1u);
}

TEST(TagParseTest, As3CodeIsNotedAndTheTimelineStillLoads) {
  Bytes fileAttributes = {0x08, 0, 0, 0};
  const Bytes file = swftest::Movie({swftest::Tag(tag::kFileAttributes, fileAttributes),
                                     swftest::Tag(tag::kDoAbc, {1, 0, 0, 0, 0}),
                                     swftest::SquareShapeTag(1, 100, {0, 0, 0, 255}),
                                     swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame()});
  const ParsedMovie movie = ParseMovie(file);
  EXPECT_TRUE(movie.actionScript3Flag);
  EXPECT_TRUE(movie.hasAs3Code);
  EXPECT_EQ(movie.root.frames.size(), 1u);
}

TEST(TagParseTest, FrameLabelsAndSpritesHaveTheirOwnTimelines) {
  const Bytes file = swftest::Movie({
      swftest::SquareShapeTag(1, 100, {0, 0, 0, 255}),
      swftest::DefineSprite(2, 2, {swftest::PlaceObject2({.depth = 1, .characterId = 1}), swftest::ShowFrame(),
                                   swftest::RemoveObject2(1), swftest::ShowFrame()}),
      swftest::ShowFrame(),
      swftest::Tag(tag::kFrameLabel, {'e', 'n', 'd', 0}),
      swftest::ShowFrame(),
  });
  const ParsedMovie movie = ParseMovie(file);
  ASSERT_EQ(movie.root.frames.size(), 2u);
  EXPECT_EQ(movie.root.labels.at("end"), 1u);
  const auto* sprite = std::get_if<SpriteDefinition>(movie.FindCharacter(2));
  ASSERT_NE(sprite, nullptr);
  EXPECT_EQ(sprite->timeline.frames.size(), 2u);
  EXPECT_EQ(sprite->timeline.declaredFrameCount, 2);
}

TEST(TagParseTest, PlaceObjectVariantsReadTheirFields) {
  // PlaceObject (1): character first, then depth, matrix, optional cxform.
  const Bytes v1Bytes = [] {
    swftest::BitWriter w;
    w.U16(7);
    w.U16(3);
    w.Matrix(Matrix::Translate(20, 40));
    return w.Take();
  }();
  BitReader reader1(v1Bytes);
  const PlaceObject p1 = ParsePlaceObject1(reader1);
  EXPECT_EQ(p1.characterId, 7);
  EXPECT_EQ(p1.depth, 3);
  EXPECT_EQ(p1.matrix, Matrix::Translate(20, 40));
  EXPECT_FALSE(p1.colorTransform.has_value());
  EXPECT_FALSE(p1.move);

  // PlaceObject3: class name before the character, blend mode after filters.
  swftest::BitWriter v3;
  v3.U8(0x06 | 0x20);  // character, matrix, name
  v3.U8(0x08 | 0x02 | 0x01);  // class name, blend mode, filters
  v3.U16(4);
  v3.String("Cls");
  v3.U16(9);
  v3.Matrix(Matrix::Scale(2, 2));
  v3.String("inst");
  v3.U8(1);   // one filter
  v3.U8(1);   // blur
  v3.Append(Bytes(9, 0));
  v3.U8(3);   // multiply
  const Bytes v3Bytes = v3.Take();
  BitReader reader3(v3Bytes);
  const PlaceObject p3 = ParsePlaceObject3(reader3);
  EXPECT_EQ(p3.depth, 4);
  EXPECT_EQ(p3.className, "Cls");
  EXPECT_EQ(p3.characterId, 9);
  EXPECT_EQ(p3.name, "inst");
  EXPECT_EQ(p3.blendMode, 3);
  EXPECT_TRUE(reader3.AtEnd());
}

}  // namespace
}  // namespace swf
