#include <ostream>
#include <stdexcept>

#include "core/ole_date.h"
#include "core/package_writer.h"
#include "sys/file_system.h"
#include "tools/package_commands.h"

namespace tools {

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

  core::PackageWriter writer;
  for (std::size_t i = 2; i < arguments.positional.size(); ++i) {
    const std::string& moviePath = arguments.positional[i];
    try {
      if (!writer.AddMovie(moviePath)) {
        context.err << "quorvel-pack: warning: " << moviePath << " does not exist; left out\n";
      }
    } catch (const std::exception& error) {
      return Fail(context.err, error.what());
    }
  }
  if (writer.MovieCount() == 0) return Fail(context.err, "No flash movie");

  const std::size_t movieCount = writer.MovieCount();
  try {
    const std::string block = writer.Finish(arguments.Has("release"), core::OleDate(date));
    core::WritePackage(stubPath, block, targetPath);
  } catch (const std::exception& error) {
    return Fail(context.err, error.what());
  }
  context.out << "Wrote " << targetPath << " with " << movieCount
              << (movieCount == 1 ? " movie" : " movies") << "\n";
  return kExitSuccess;
}

}  // namespace tools
