#include "ui/error_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/fake_seams.h"
#include "ui/application_title.h"

namespace {

TEST(ErrorReportText, AppendsFullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ui::ErrorReportText("Cannot open file C:\\a.swf"), "Cannot open file C:\\a.swf.");
  EXPECT_EQ(ui::ErrorReportText("Stream write error"), "Stream write error.");
  EXPECT_EQ(ui::ErrorReportText("Code 0"), "Code 0.");  // '0' sorts after '.'
  EXPECT_EQ(ui::ErrorReportText("a/"), "a/.");          // '/' is the next code after '.'
  EXPECT_EQ(ui::ErrorReportText("Done."), "Done.");
  EXPECT_EQ(ui::ErrorReportText("Failed!"), "Failed!");  // '!' sorts before '.'
  EXPECT_EQ(ui::ErrorReportText("in (x)"), "in (x)");
  EXPECT_EQ(ui::ErrorReportText("a-"), "a-");
  EXPECT_EQ(ui::ErrorReportText(""), "");
}

TEST(ErrorReportText, BytesAboveAsciiCountAsSortingAfterFullStop) {
  EXPECT_EQ(ui::ErrorReportText("caf\xE9"), "caf\xE9.");
}

TEST(ErrorReport, ShowsTitleErrorIconAndOk) {
  testing_support::FakeSeams fakes;
  bool ended = ui::RunReportingErrors(fakes.dialogs, [] { throw std::runtime_error("Cannot open file x.pak"); });
  EXPECT_FALSE(ended);
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 1u);
  const ui::MessageBoxRequest& box = fakes.dialogs.messageBoxes[0];
  EXPECT_EQ(box.text, "Cannot open file x.pak.");
  EXPECT_EQ(box.caption, ui::kApplicationTitle);
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

TEST(ErrorReport, CommandThatEndsNormallyShowsNothing) {
  testing_support::FakeSeams fakes;
  int runs = 0;
  EXPECT_TRUE(ui::RunReportingErrors(fakes.dialogs, [&] { ++runs; }));
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(fakes.dialogs.messageBoxes.empty());
}

TEST(ErrorReport, NonStandardExceptionsAndOutOfMemoryAreReported) {
  testing_support::FakeSeams fakes;
  ui::RunReportingErrors(fakes.dialogs, [] { throw 42; });
  ui::RunReportingErrors(fakes.dialogs, [] { throw std::bad_alloc(); });
  ASSERT_EQ(fakes.dialogs.messageBoxes.size(), 2u);
  EXPECT_EQ(fakes.dialogs.messageBoxes[0].text, "Unknown error.");
  EXPECT_EQ(fakes.dialogs.messageBoxes[1].text, "Out of memory.");
}

}  // namespace
