#pragma once

#include <string>

namespace sys {

// The folder of the running executable with its trailing separator, found
// from the executable's own full path (never from the current folder).
std::string ExecutableFolder();

// Standard output passes bytes unchanged from here on: no LF becomes CR LF
// (Windows' text mode does that; elsewhere there is nothing to change).
void UseBinaryStandardOutput();

// Blocks the calling thread.
void SleepMs(unsigned milliseconds);

}  // namespace sys
