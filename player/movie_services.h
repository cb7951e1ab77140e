#pragma once
// What the Win32 host offers the movies it plays, beyond the engine's
// defaults: the system's MP3 decoder and fonts, the clock and time zone, web
// addresses handed to the shell, files a movie loads (from where its owner
// says), its fscommands (to its owner), and its shared objects kept in a
// folder its owner names. One lives in the host and outlives its movies.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shared_object_store.h"
#include "swf/host_services.h"
#include "sys/fonts.h"
#include "sys/mp3.h"

namespace player {

class MovieServices : public swf::HostServices {
 public:
  using FileSource = std::function<std::optional<std::vector<uint8_t>>(std::string_view relativePath)>;
  using CommandSink = std::function<void(std::string_view command, std::string_view arguments)>;

  // Where relative loads are served from; unset: nothing loads.
  void SetFileSource(FileSource source) { fileSource_ = std::move(source); }
  // Who hears the movie's fscommands; unset: they are ignored.
  void SetCommandSink(CommandSink sink) { commandSink_ = std::move(sink); }
  // The folder of the next movie's shared objects; empty: none are kept.
  void SetSharedObjectFolder(std::string folder) { sharedObjects_ = core::SharedObjectStore(std::move(folder)); }

  std::unique_ptr<swf::Mp3Decoder> CreateMp3Decoder() override { return sys::CreateMp3Decoder(); }
  // The system's fonts, for text in device fonts.
  swf::text::FontSource* Fonts() override { return fonts_.get(); }
  double NowMilliseconds() override;
  int UtcOffsetMinutes(double utcMilliseconds) override;
  // Only web and mail addresses go to the shell; its answer is not waited for.
  void GetUrl(std::string_view url, std::string_view window) override;
  void FsCommand(std::string_view command, std::string_view arguments) override;
  std::optional<std::vector<uint8_t>> LoadFile(std::string_view relativePath) override;
  std::optional<std::vector<uint8_t>> ReadSharedObject(std::string_view store) override;
  bool WriteSharedObject(std::string_view store, std::span<const uint8_t> bytes) override;

 private:
  std::unique_ptr<swf::text::FontSource> fonts_ = sys::CreateFontSource();
  FileSource fileSource_;
  CommandSink commandSink_;
  core::SharedObjectStore sharedObjects_;
};

// Whether the shell may be asked to open `url`: http, https and mailto only.
bool IsShellAddress(std::string_view url);

}  // namespace player
