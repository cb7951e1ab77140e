#include <ostream>
#include <stdexcept>

#include "core/ole_date.h"
#include "core/package_reader.h"
#include "tools/package_commands.h"

namespace tools {
namespace {

// The date stamp as YYYY-MM-DD, or the raw number when it is no date.
std::string DescribeDate(double dateStamp) {
  if (const auto date = core::CalendarDateFromOle(dateStamp)) return FormatIsoDate(*date);
  return std::to_string(dateStamp);
}

}  // namespace

int RunList(const CommandContext& context) {
  const std::string& packagePath = context.arguments.positional[0];
  core::Package package;
  try {
    package = core::ReadPackageFile(packagePath);
  } catch (const std::exception& error) {
    return Fail(context.err, packagePath + ": " + error.what());
  }
  context.out << "release: " << (package.releaseFlag ? "allowed" : "not allowed") << "\n"
              << "date: " << DescribeDate(package.dateStamp) << "\n"
              << "movies: " << package.movies.size() << "\n";
  // One movie per line, size first, so that names with blanks stay whole.
  for (const core::PackageMovie& movie : package.movies) {
    context.out << movie.size << "\t" << movie.name << "\n";
  }
  return kExitSuccess;
}

}  // namespace tools
