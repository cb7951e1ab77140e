#pragma once

#include <string>

namespace sys {

// The folder of the running executable with its trailing separator, found
// from the executable's own full path (never from the current folder).
std::string ExecutableFolder();

// Blocks the calling thread.
void SleepMs(unsigned milliseconds);

}  // namespace sys
