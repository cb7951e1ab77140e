#pragma once

#include <string>

#include "core/package_reader.h"

namespace tools {

// The package's date stamp as YYYY-MM-DD, or the raw number when it is no
// calendar date.
std::string DescribeDate(double dateStamp);

}  // namespace tools
