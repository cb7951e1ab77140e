#pragma once
// Names under which a package's movies are released into one folder. A
// directory name comes from whoever built the package, so it is only ever a
// name: see NeutralizeMovieName.

#include <string>
#include <vector>

#include "core/package_reader.h"

namespace core {

// One safe file name per movie, in directory order; later duplicates
// (compared without case, as Windows compares names) get " (2)", " (3)", ...
// before the extension.
std::vector<std::string> ReleaseFileNames(const std::vector<PackageMovie>& movies);

// "folder" + separator + "name", with no doubled separator.
std::string JoinFolder(const std::string& folder, const std::string& name);

}  // namespace core
