#pragma once

#include <string>
#include <utility>
#include <vector>

#include "swf/swf_builder.h"

namespace fuzz {

// Small movies built in code that between them use every tag and record the
// engine reads: the fuzzer's starting points besides the reference corpus,
// and inputs the regression test replays every time.
std::vector<std::pair<std::string, swftest::Bytes>> SeedMovies();

}  // namespace fuzz
