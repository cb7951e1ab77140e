#include <ostream>
#include <stdexcept>

#include "core/package_reader.h"
#include "core/release_names.h"
#include "sys/file.h"
#include "sys/file_system.h"
#include "tools/package_commands.h"

namespace tools {

int RunExtract(const CommandContext& context) {
  const std::string& packagePath = context.arguments.positional[0];
  const std::string& folder = context.arguments.positional[1];
  const bool force = context.arguments.Has("force");

  core::Package package;
  try {
    package = core::ReadPackageFile(packagePath);
  } catch (const std::exception& error) {
    return Fail(context.err, packagePath + ": " + error.what());
  }
  if (!package.releaseFlag) {
    return Fail(context.err, packagePath + ": the package does not allow releasing its movies");
  }

  // Decide every name first, so that a refusal leaves nothing half-written.
  std::vector<std::string> targets;
  for (const std::string& name : core::ReleaseFileNames(package.movies)) {
    targets.push_back(core::JoinFolder(folder, name));
    if (!force && sys::FileExists(targets.back())) {
      return Fail(context.err, targets.back() + " exists; add --force to overwrite it");
    }
  }

  try {
    for (std::size_t i = 0; i < package.movies.size(); ++i) {
      const auto access =
          force ? sys::FileAccess::kCreateExclusive : sys::FileAccess::kCreateNewExclusive;
      sys::File file(targets[i], access);
      file.WriteAll(package.MovieData(package.movies[i]));
      context.out << targets[i] << "\n";
    }
  } catch (const std::exception& error) {
    return Fail(context.err, error.what());
  }
  return kExitSuccess;
}

}  // namespace tools
