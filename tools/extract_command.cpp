#include <algorithm>
#include <cctype>
#include <ostream>
#include <set>
#include <stdexcept>

#include "core/movie_name.h"
#include "core/package_reader.h"
#include "sys/file.h"
#include "sys/file_system.h"
#include "tools/package_commands.h"

namespace tools {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// Two movies of one package may carry the same name; the later ones get
// " (2)", " (3)", ... before the extension. Compared without case, as
// Windows compares names.
std::string UniqueName(const std::string& name, std::set<std::string>& taken) {
  std::string candidate = name;
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
  const std::string extension = stem.size() == name.size() ? "" : name.substr(dot);
  for (int copy = 2; taken.count(Lower(candidate)) != 0; ++copy) {
    candidate = stem + " (" + std::to_string(copy) + ")" + extension;
  }
  taken.insert(Lower(candidate));
  return candidate;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  const bool endsWithSeparator = last == '/' || last == '\\' || last == sys::PathSeparator();
  return endsWithSeparator ? folder + name : folder + sys::PathSeparator() + name;
}

}  // namespace

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
  std::set<std::string> taken;
  std::vector<std::string> targets;
  for (std::size_t i = 0; i < package.movies.size(); ++i) {
    const std::string name =
        UniqueName(core::NeutralizeMovieName(package.movies[i].name, i + 1), taken);
    targets.push_back(JoinPath(folder, name));
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
