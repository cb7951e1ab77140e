#include "core/ole_date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(OleDate, CountsWholeDaysFrom30December1899) {
  EXPECT_EQ(core::OleDate({1899, 12, 30}), 0.0);
  EXPECT_EQ(core::OleDate({1899, 12, 29}), -1.0);
  EXPECT_EQ(core::OleDate({1900, 1, 1}), 2.0);
  // 1900 is no leap year; OLE dates count it correctly.
  EXPECT_EQ(core::OleDate({1900, 3, 1}), 61.0);
  EXPECT_EQ(core::OleDate({2000, 1, 1}), 36526.0);
  EXPECT_EQ(core::OleDate({2000, 3, 1}), 36586.0);  // 2000 is a leap year
  EXPECT_EQ(core::OleDate({2024, 1, 1}), 45292.0);
  EXPECT_EQ(core::OleDate({9999, 12, 31}), 2958465.0);
}

TEST(OleDate, CalendarDateRoundTripsOverFourCenturies) {
  int checked = 0;
  for (int days = -1000; days < 146097 + 1000; days += 7) {
    const auto date = core::CalendarDateFromOle(days);
    ASSERT_TRUE(date) << days;
    ASSERT_EQ(core::OleDate(*date), days) << date->year << "-" << date->month << "-" << date->day;
    ++checked;
  }
  EXPECT_GT(checked, 20000);
}

TEST(OleDate, TimeOfDayFractionIsIgnoredTowardsZero) {
  const auto morning = core::CalendarDateFromOle(36526.75);
  ASSERT_TRUE(morning);
  EXPECT_EQ(morning->day, 1);
  // -1.5 is 29 December 1899, noon: whole days backwards, fraction forwards.
  const auto before = core::CalendarDateFromOle(-1.5);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->year, 1899);
  EXPECT_EQ(before->day, 29);
}

TEST(OleDate, ValuesThatAreNoDateGiveNothing) {
  EXPECT_FALSE(core::CalendarDateFromOle(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(core::CalendarDateFromOle(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(core::CalendarDateFromOle(1e300));
  EXPECT_FALSE(core::CalendarDateFromOle(2958466.0));  // 10000-01-01
  EXPECT_TRUE(core::CalendarDateFromOle(-657434.0));   // 0100-01-01
  EXPECT_FALSE(core::CalendarDateFromOle(-657435.0));
}

}  // namespace
