#include <ostream>
#include <stdexcept>

#include "core/package_reader.h"
#include "tools/package_commands.h"

namespace tools {

int RunVerify(const CommandContext& context) {
  const std::string& packagePath = context.arguments.positional[0];
  try {
    const core::Package package = core::ReadPackageFile(packagePath);
    context.out << packagePath << ": OK (" << package.movies.size() << " movies, stub "
                << package.stubSize << " bytes, compressed " << package.compressedSize
                << " bytes, payload " << package.payloadSize << " bytes)\n";
  } catch (const std::exception& error) {
    return Fail(context.err, packagePath + ": " + error.what());
  }
  return kExitSuccess;
}

}  // namespace tools
