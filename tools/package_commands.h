#pragma once

#include "tools/command.h"

namespace tools {

// build <stub> <target> <movie>...: writes a package.
int RunBuild(const CommandContext& context);
// list <package>: the movies, the release flag and the date.
int RunList(const CommandContext& context);
// verify <package>: checks every size, the stream and the directory.
int RunVerify(const CommandContext& context);
// extract <package> <folder>: writes the movies out, when the package allows it.
int RunExtract(const CommandContext& context);

}  // namespace tools
