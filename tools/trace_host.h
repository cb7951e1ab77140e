#pragma once

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "swf/host_services.h"
#include "sys/fonts.h"

namespace tools {

// The console's host for a movie run without a picture: trace lines go to a
// stream, files are read beside the movie, and time is a virtual clock that
// the caller moves on as it runs frames.
class TraceHost : public swf::HostServices {
 public:
  TraceHost(std::ostream& out, std::filesystem::path movieFolder, double startMilliseconds, int utcOffsetMinutes);

  void Trace(std::string_view line) override;
  // fscommand("quit") ends the run after the current frame, as it closes a
  // standalone player.
  void FsCommand(std::string_view command, std::string_view arguments) override;
  // Only paths inside the movie's folder: no absolute path, nothing that
  // climbs above the folder with "..".
  std::optional<std::vector<uint8_t>> LoadFile(std::string_view relativePath) override;
  double NowMilliseconds() override { return startMilliseconds_ + elapsedSeconds_ * 1000.0; }
  int UtcOffsetMinutes(double) override { return utcOffsetMinutes_; }
  swf::text::FontSource* Fonts() override { return fonts_.get(); }

  void AdvanceClock(double seconds) { elapsedSeconds_ += seconds; }
  bool QuitRequested() const { return quitRequested_; }

 private:
  std::ostream& out_;
  std::filesystem::path movieFolder_;
  double startMilliseconds_;
  int utcOffsetMinutes_;
  double elapsedSeconds_ = 0;
  bool quitRequested_ = false;
  std::unique_ptr<swf::text::FontSource> fonts_ = sys::CreateFontSource();
};

// The path of `relativePath` inside `folder`, or nothing when it is absolute
// or leaves the folder.
std::optional<std::filesystem::path> PathInsideFolder(const std::filesystem::path& folder,
                                                      std::string_view relativePath);

}  // namespace tools
