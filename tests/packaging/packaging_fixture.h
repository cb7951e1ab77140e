#pragma once
// A shown owner window standing in for the main window, scripted seams, a
// scratch folder with a player stub, and what the progress window showed
// during a build.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "packaging/build_package.h"
#include "support/fake_seams.h"
#include "sys/temp_folder.h"

namespace packagingtest {

inline constexpr char kStubBytes[] = "MZ stub of the tests\x01\x02\x03";

// A plain top-level window that owns the build's windows.
class OwnerWindow {
 public:
  OwnerWindow();
  ~OwnerWindow();
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;
  HWND Handle() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// The progress window of this thread, if one is up.
HWND FindProgressWindow();
HWND ProgressBarOf(HWND progressWindow);
int BarPosition();

// Names of the files in a folder, sorted.
std::vector<std::string> FolderContents(const std::string& folder);

// Whether a file's bytes are exactly `bytes`.
std::string Contents(const std::string& path);

class PackagingTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds with the stub of `stubFolder` and records the bar's position at
  // each pause, and whether the owner was disabled at each.
  std::string Build(const std::vector<std::string>& paths, bool releaseFlag, const std::string& target,
                    packaging::BuildPackageOptions options = {});

  testing_support::FakeSeams fakes;
  OwnerWindow owner;
  testing_support::TempFolder stubFolder;
  testing_support::TempFolder folder;
  std::string stubPath;
  std::vector<int> positions;       // bar position at each pause
  std::vector<bool> ownerDisabled;  // at each pause
};

}  // namespace packagingtest
