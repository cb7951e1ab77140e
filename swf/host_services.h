#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "swf/sound/mp3_decoder.h"
#include "swf/text/font.h"

namespace swf {

// What a movie asks of the program that plays it. The engine never reaches
// the operating system itself: the preview, the stub and the console tool
// each give the player one of these, and tests give it a recording one.
// Every call has a harmless default, so a host overrides only what it offers.
class HostServices {
 public:
  virtual ~HostServices() = default;

  // One line of trace output, without its line end.
  virtual void Trace(std::string_view line) { (void)line; }
  // fscommand: the command and its argument as the movie gave them.
  virtual void FsCommand(std::string_view command, std::string_view arguments) {
    (void)command;
    (void)arguments;
  }
  // A script ran past the movie's time limit and was stopped.
  virtual void ScriptTimedOut() {}
  // getURL for anything that is not a movie level or an fscommand.
  virtual void GetUrl(std::string_view url, std::string_view window) {
    (void)url;
    (void)window;
  }
  // The bytes of a file the movie names by a path relative to itself;
  // nothing when there is no such file or the host does not load files.
  virtual std::optional<std::vector<uint8_t>> LoadFile(std::string_view relativePath) {
    (void)relativePath;
    return std::nullopt;
  }
  // A movie's locally stored objects (SharedObject.getLocal). `store` is a
  // relative path of names the engine has already checked ("scores/high":
  // letters, digits and punctuation, no "." or ".." segment, no back
  // slash, colon or white space); the host keeps each movie's stores apart.
  // Nothing when none is kept under that name.
  virtual std::optional<std::vector<uint8_t>> ReadSharedObject(std::string_view store) {
    (void)store;
    return std::nullopt;
  }
  // Keeps `bytes` under `store` (no bytes: removes what was kept); false
  // when the host keeps nothing or the write failed.
  virtual bool WriteSharedObject(std::string_view store, std::span<const uint8_t> bytes) {
    (void)store;
    (void)bytes;
    return false;
  }
  // Wall-clock time in milliseconds since 1970-01-01 UTC.
  virtual double NowMilliseconds() { return 0; }
  // Minutes east of UTC of the local time zone at that moment.
  virtual int UtcOffsetMinutes(double utcMilliseconds) {
    (void)utcMilliseconds;
    return 0;
  }
  // A fresh decoder for one MP3 sound or stream; without one, MP3 sounds
  // stay silent.
  virtual std::unique_ptr<Mp3Decoder> CreateMp3Decoder() { return nullptr; }
  // The system's fonts for text in device fonts (not owned; it outlives
  // the player); without them such text takes room but shows nothing.
  virtual text::FontSource* Fonts() { return nullptr; }
};

}  // namespace swf
