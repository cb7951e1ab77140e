#include "stub/own_package.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "core/file_name.h"
#include "stub/stub_texts.h"

namespace stub {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::string PackageDisplayName(const std::string& executablePath) {
  std::string name = core::FileNamePart(executablePath);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

core::Package LoadOwnPackage(const std::string& executablePath) {
  if (executablePath.empty()) throw NoPlayablePackage(texts::kOwnPathUnknown);
  core::Package package;
  try {
    package = core::ReadPackageFile(executablePath);
  } catch (const std::bad_alloc&) {
    throw NoPlayablePackage(std::string(texts::kNoPackage) + "\r\n\r\nThere is not enough memory for it.");
  } catch (const std::exception& error) {
    // Run as itself, the stub explains what it is for rather than what its
    // last bytes happen to hold.
    if (Lower(core::FileNamePart(executablePath)) == "player.dat") {
      throw NoPlayablePackage(std::string(texts::kNoPackage) + "\r\n\r\n" + texts::kBareStub);
    }
    throw NoPlayablePackage(std::string(texts::kNoPackage) + "\r\n\r\n" + error.what() + ".");
  }
  if (package.movies.empty()) throw NoPlayablePackage(texts::kNoMovies);
  return package;
}

}  // namespace stub
