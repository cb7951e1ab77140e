#include <ostream>
#include <stdexcept>
#include <string>

#include "core/ole_date.h"
#include "core/package_writer.h"
#include "sys/file_system.h"
#include "tools/package_commands.h"

namespace tools {
namespace {

// Warns of each movie left out, and stops a build that is left with none
// before anything is written.
class LeftOutWarnings final : public core::BuildObserver {
 public:
  LeftOutWarnings(std::ostream& err, std::size_t movieCount) : err_(err), moviesLeft_(movieCount) {}
  void StageReached(core::BuildStage stage) override {
    if (stage == core::BuildStage::kMoviesRead && moviesLeft_ == 0) throw std::runtime_error("No flash movie");
  }
  void MovieLeftOut(const std::string& path) override {
    err_ << "quorvel-pack: warning: " << path << " does not exist; left out\n";
    --moviesLeft_;
  }

 private:
  std::ostream& err_;
  std::size_t moviesLeft_;
};

}  // namespace

int RunBuild(const CommandContext& context) {
  const Arguments& arguments = context.arguments;
  const std::string& stubPath = arguments.positional[0];
  const std::string& targetPath = arguments.positional[1];

  sys::CalendarDate date = sys::LocalDate();
  if (const auto text = arguments.Value("date")) {
    const auto parsed = ParseIsoDate(*text);
    if (!parsed) {
      Fail(context.err, "--date wants YYYY-MM-DD, not \"" + *text + "\"");
      return kExitUsage;
    }
    date = *parsed;
  }
  // The GUI asks before it overwrites; a script has to say so up front.
  if (sys::FileExists(targetPath) && !arguments.Has("force")) {
    return Fail(context.err, targetPath + " exists; add --force to overwrite it");
  }

  core::PackageBuild build;
  build.stubPath = stubPath;
  build.moviePaths.assign(arguments.positional.begin() + 2, arguments.positional.end());
  build.releaseFlag = arguments.Has("release");
  build.dateStamp = core::OleDate(date);
  build.targetPath = targetPath;
  LeftOutWarnings observer(context.err, build.moviePaths.size());
  std::size_t movieCount = 0;
  try {
    movieCount = core::BuildPackageFile(build, observer);
  } catch (const std::exception& error) {
    return Fail(context.err, error.what());
  }
  context.out << "Wrote " << targetPath << " with " << movieCount
              << (movieCount == 1 ? " movie" : " movies") << "\n";
  return kExitSuccess;
}

}  // namespace tools
