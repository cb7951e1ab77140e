#include "core/entry_line.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryLine, FormatsItemThumbnailAndPathJoinedByColons) {
  EXPECT_EQ(core::FormatEntryLine({2, 3, "C:\\Movies\\intro.swf"}), "2:3:C:\\Movies\\intro.swf");
  EXPECT_EQ(core::FormatEntryLine({0, 1, ""}), "0:1:");
}

TEST(EntryLine, PathIsEverythingAfterTheSecondColonDriveColonIncluded) {
  const auto entry = core::ParseEntryLine("0:1:C:\\Movies\\a:b.swf");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->itemIndex, 0);
  EXPECT_EQ(entry->thumbnailIndex, 1);
  EXPECT_EQ(entry->path, "C:\\Movies\\a:b.swf");
  EXPECT_EQ(core::EntryLinePath("12:40:relative.swf"), "relative.swf");
  EXPECT_EQ(core::EntryLinePath("12:40:"), "");
}

TEST(EntryLine, RoundTripsThroughFormatAndParse) {
  const core::EntryLine original{17, 4, "D:\\Clips\\logo show.swf"};
  const auto parsed = core::ParseEntryLine(core::FormatEntryLine(original));
  ASSERT_TRUE(parsed);
  EXPECT_EQ(parsed->itemIndex, original.itemIndex);
  EXPECT_EQ(parsed->thumbnailIndex, original.thumbnailIndex);
  EXPECT_EQ(parsed->path, original.path);
}

TEST(EntryLine, MalformedLinesParseToNothing) {
  EXPECT_FALSE(core::ParseEntryLine(""));
  EXPECT_FALSE(core::ParseEntryLine("3"));
  EXPECT_FALSE(core::ParseEntryLine("3:4"));
  EXPECT_FALSE(core::ParseEntryLine("x:4:a.swf"));
  EXPECT_FALSE(core::ParseEntryLine("3: 4:a.swf"));
  EXPECT_FALSE(core::ParseEntryLine(":4:a.swf"));
  EXPECT_FALSE(core::ParseEntryLine("99999999999:4:a.swf"));
  EXPECT_EQ(core::EntryLinePath("no colon"), "");
  EXPECT_EQ(core::EntryLinePath("one:colon"), "");
}

TEST(EntryLine, ItemIndexIsTheNumberBeforeTheFirstColon) {
  EXPECT_EQ(core::EntryLineItemIndex("7:2:C:\\a.swf"), 7);
  EXPECT_EQ(core::EntryLineItemIndex("-1:2:a"), -1);
  EXPECT_FALSE(core::EntryLineItemIndex(""));
  EXPECT_FALSE(core::EntryLineItemIndex("+7:2:a"));
}

TEST(EntryLine, RenumberingKeepsThumbnailAndPath) {
  // Removing entry 0 of "0:1:A", "1:2:B", "2:3:C" leaves "0:2:B", "1:3:C".
  EXPECT_EQ(core::WithItemIndex("1:2:B", 0), "0:2:B");
  EXPECT_EQ(core::WithItemIndex("2:3:C:\\x.swf", 1), "1:3:C:\\x.swf");
  EXPECT_EQ(core::WithItemIndex("no colon", 5), "no colon");
}

}  // namespace
