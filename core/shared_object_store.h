#pragma once
// The files in which a player keeps one movie's local shared objects: each
// store name the engine gives ("scores/high") is a file below the movie's
// own folder ("<folder>/scores/high.sol"). The engine has checked the names
// already; this checks them again, so that no name, however made, reaches
// outside the folder or a device.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class SharedObjectStore {
 public:
  // No folder: nothing is kept.
  SharedObjectStore() = default;
  explicit SharedObjectStore(std::string folder) : folder_(std::move(folder)) {}

  // The file of a store, or nothing when the name is not one this keeps.
  std::optional<std::string> PathOf(std::string_view store) const;

  std::optional<std::vector<std::uint8_t>> Read(std::string_view store) const;
  // Writes the whole file at once (no bytes: removes it); false when the
  // name is refused or the file cannot be written.
  bool Write(std::string_view store, std::span<const std::uint8_t> bytes) const;

  // `name` as one folder name: every character a file system may refuse
  // becomes '_' ("game?.swf" -> "game_.swf"); never empty, "." or "..".
  static std::string FolderName(std::string_view name);

 private:
  std::string folder_;
};

}  // namespace core
