#pragma once
// The package writer behind TMainForm::BuildPackage: it shows the progress
// window, disables the main window, writes the package and returns the result
// text ("Mission Accomplished", or "Error: " and the failure's message). It
// never throws.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/package_format.h"
#include "ui/seams.h"

namespace packaging {

struct BuildPackageOptions {
  // Folder of the player stub; empty for the folder of the running
  // executable, where the packager's own stub lives.
  std::string stubFolder;
  // Largest payload or compressed block that the 32-bit size fields can
  // store; smaller only to test the refusal.
  std::uint64_t sizeLimit = core::kMaxStoredSize;
};

// Where the progress bar stands after each stage; it never reaches 100.
namespace progress {
inline constexpr int kPainted = 10;
inline constexpr int kBuffersCreated = 30;
inline constexpr int kMoviesRead = 60;
inline constexpr int kDirectoryAppended = 70;
inline constexpr int kCompressedAndStubOpen = 90;
}  // namespace progress

inline constexpr DWORD kFirstPaintPause = 100;
inline constexpr DWORD kStagePause = 300;

std::string BuildPackage(HWND mainWindow, ui::Seams& seams, const std::vector<std::string>& paths,
                         bool releaseFlag, const std::string& target, const BuildPackageOptions& options = {});

}  // namespace packaging
