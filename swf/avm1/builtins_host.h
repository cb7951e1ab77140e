// What the built-in objects need to know of the machine they run on: the
// clock, the local time zone, the player's version string and the seed of
// Math.random. The host fills it; tests fix every fact so that output that
// depends on them is reproducible.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "swf/avm1/value.h"

namespace swf::avm1 {

class SharedObjects;

struct BuiltinsHost {
  // Milliseconds since 1970-01-01 00:00 UTC, now. Unset: 0.
  std::function<double()> nowMs;
  // Local time minus UTC, in milliseconds, at the given UTC instant (so
  // that daylight saving applies to the date asked about). Unset: 0.
  std::function<double(double utcMs)> localOffsetMs;
  // What $version, getVersion() and System.capabilities.version answer: a
  // Windows desktop player of the newest release movies are made for.
  std::string version = "WIN 32,0,0,465";
  // The seed of the random source; the same seed gives the same sequence.
  std::uint64_t randomSeed = 1;
  // System.security.sandboxType: a movie played from a file is
  // "localWithFile", or "localWithNetwork" when its FileAttributes ask for
  // the network.
  std::string sandboxType = "localWithFile";
  // Starts loading the text a URL names for an XML or LoadVars object; the
  // host completes it later (see DataLoads). Unset: loads never complete.
  std::function<void(const Value& target, const std::string& url)> queueLoad;
  // Where SharedObject.getLocal finds its objects (not owned). Unset:
  // getLocal answers null.
  SharedObjects* sharedObjects = nullptr;
};

}  // namespace swf::avm1
