#include "swf/parse/bit_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "swf/parse/parse_error.h"
#include "swf/parse/records.h"
#include "swf_builder.h"

namespace swf {
namespace {

TEST(BitReaderTest, BitFieldsRunMostSignificantBitFirstAcrossBytes) {
  const std::vector<uint8_t> bytes = {0b1011'0011, 0b0101'1100};
  BitReader reader(bytes);
  EXPECT_EQ(reader.UB(3), 0b101u);
  EXPECT_EQ(reader.UB(7), 0b1'0011'01u);  // straddles the byte border
  EXPECT_EQ(reader.UB(6), 0b01'1100u);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(BitReaderTest, SignedFieldsAreSignExtendedFromTheirTopBit) {
  const std::vector<uint8_t> bytes = {0b1110'0111, 0b0000'0000};
  BitReader reader(bytes);
  EXPECT_EQ(reader.SB(3), -1);  // 111
  EXPECT_EQ(reader.SB(3), 1);   // 001
  EXPECT_EQ(reader.SB(0), 0);   // zero width is legal
  EXPECT_EQ(reader.SB(3), -2);  // 11 from the first byte, 0 from the second
}

TEST(BitReaderTest, FixedPointFieldsAre16Dot16) {
  swftest::BitWriter w;
  w.SB(0x30000, 19);
  w.SB(-0x8000, 19);
  const auto bytes = w.Take();
  BitReader r(bytes);
  EXPECT_DOUBLE_EQ(r.FB(19), 3.0);
  EXPECT_DOUBLE_EQ(r.FB(19), -0.5);
}

TEST(BitReaderTest, ByteReadsDropThePartlyUsedByte) {
  const std::vector<uint8_t> bytes = {0xFF, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12};
  BitReader reader(bytes);
  reader.UB(3);
  EXPECT_EQ(reader.U16(), 0x1234);  // starts at byte 1, not in the middle of byte 0
  EXPECT_EQ(reader.U32(), 0x12345678u);
}

TEST(BitReaderTest, NumbersAreLittleEndian) {
  const std::vector<uint8_t> bytes = {0x00, 0x80, 0x07, 0x00, 0x80, 0x01, 0xFE, 0xFF};
  BitReader reader(bytes);
  EXPECT_DOUBLE_EQ(reader.Fixed16(), 7.5);
  EXPECT_DOUBLE_EQ(reader.Fixed8(), 1.5);
  EXPECT_EQ(reader.S16(), -2);
}

TEST(BitReaderTest, EncodedU32UsesSevenBitGroupsLowFirst) {
  const std::vector<uint8_t> bytes = {0x7F, 0xAC, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F};
  BitReader reader(bytes);
  EXPECT_EQ(reader.EncodedU32(), 127u);
  EXPECT_EQ(reader.EncodedU32(), 300u);
  EXPECT_EQ(reader.EncodedU32(), 0xFFFFFFFFu);
}

TEST(BitReaderTest, ReadingPastTheEndThrowsWithTheOffset) {
  const std::vector<uint8_t> bytes = {1, 2, 3};
  BitReader reader(bytes, 100);
  reader.U16();
  try {
    reader.U16();
    FAIL() << "no error";
  } catch (const ParseError& error) {
    EXPECT_NE(std::string(error.what()).find("offset 102"), std::string::npos) << error.what();
  }
  BitReader bits(bytes);
  bits.Skip(2);
  bits.UB(8);
  EXPECT_THROW(bits.UB(1), ParseError);
}

TEST(BitReaderTest, SubReaderIsBoundedAndTheParentSkipsIt) {
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
  BitReader reader(bytes);
  BitReader sub = reader.Sub(3);
  EXPECT_EQ(sub.U8(), 1);
  EXPECT_EQ(sub.U16(), 0x0302);
  EXPECT_THROW(sub.U8(), ParseError);  // byte 4 belongs to the next tag
  EXPECT_EQ(reader.U8(), 4);
  EXPECT_THROW(reader.Sub(2), ParseError);
}

TEST(BitReaderTest, StringsEndAtZeroAndAnUnterminatedOneFails) {
  const std::vector<uint8_t> bytes = {'a', 'b', 0, 'c'};
  BitReader reader(bytes);
  EXPECT_EQ(reader.String(), "ab");
  EXPECT_THROW(reader.String(), ParseError);
}

TEST(RecordsTest, RectReadsXMinXMaxYMinYMaxAndPads) {
  swftest::BitWriter w;
  w.Rect({-20, 11000, 5, 8000});
  w.U8(0xAB);
  const auto bytes = w.Take();
  BitReader reader(bytes);
  EXPECT_EQ(ReadRect(reader), (Rect{-20, 11000, 5, 8000}));
  EXPECT_EQ(reader.U8(), 0xAB);
}

TEST(RecordsTest, MatrixFieldsAndDefaults) {
  swftest::BitWriter w;
  w.Matrix({2.0, 0.25, -0.5, 1.5, -100, 300});
  w.Matrix({1, 0, 0, 1, 40, 0});
  const auto bytes = w.Take();
  BitReader reader(bytes);
  EXPECT_EQ(ReadMatrix(reader), (Matrix{2.0, 0.25, -0.5, 1.5, -100, 300}));
  EXPECT_EQ(ReadMatrix(reader), (Matrix{1, 0, 0, 1, 40, 0}));
}

TEST(RecordsTest, ColorTransformWithAndWithoutAlpha) {
  ColorTransform cx;
  cx.redMult = 128;
  cx.greenAdd = -30;
  cx.alphaMult = 64;
  cx.alphaAdd = 10;
  swftest::BitWriter w;
  w.ColorTransform(cx, true);
  w.ColorTransform(cx, false);
  const auto bytes = w.Take();
  BitReader reader(bytes);
  EXPECT_EQ(ReadColorTransform(reader, true), cx);
  ColorTransform noAlpha = cx;
  noAlpha.alphaMult = 256;
  noAlpha.alphaAdd = 0;
  EXPECT_EQ(ReadColorTransform(reader, false), noAlpha);
}

}  // namespace
}  // namespace swf
