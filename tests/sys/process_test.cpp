#include "sys/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "sys/clock.h"
#include "sys/file_system.h"

namespace {

TEST(ExecutableFolder, EndsWithTheSeparatorAndHoldsThisTestProgram) {
  const std::string folder = sys::ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), sys::PathSeparator());
#ifdef _WIN32
  EXPECT_TRUE(sys::FileExists(folder + "sys_tests.exe")) << folder;
  EXPECT_EQ(folder[1], ':') << "expected a full path with a drive: " << folder;
#else
  EXPECT_TRUE(sys::FileExists(folder + "sys_tests")) << folder;
  EXPECT_EQ(folder.front(), '/');
#endif
}

TEST(LocalDate, AgreesWithTheCRuntimesLocalTime) {
  // Read both twice around each other so that a midnight in between cannot
  // make the comparison flaky.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const sys::CalendarDate date = sys::LocalDate();
    if (date.year == local.tm_year + 1900 && date.month == local.tm_mon + 1 &&
        date.day == local.tm_mday) {
      SUCCEED();
      return;
    }
  }
  FAIL() << "sys::LocalDate disagrees with localtime";
}

TEST(SleepMs, WaitsAtLeastTheAskedTime) {
  const auto start = std::chrono::steady_clock::now();
  sys::SleepMs(60);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // Windows timers may end a sleep up to one tick early by the clock.
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 45);
}

}  // namespace
