#include "core/shared_object_store.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"
#include "sys/replace_file.h"

namespace core {
namespace {

constexpr std::string_view kExtension = ".sol";
// A store file larger than this is not a store this player wrote.
constexpr std::uint64_t kLargestFile = 1024 * 1024;

bool IsRefusedCharacter(char c) {
  static constexpr std::string_view kRefused = "\\/:*?\"<>|";
  return static_cast<unsigned char>(c) < 0x20 || kRefused.find(c) != std::string_view::npos;
}

// Names Windows keeps for devices, whatever follows a dot.
bool IsDeviceName(std::string_view name) {
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "COM", "LPT"};
  std::string stem(name.substr(0, name.find('.')));
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (std::string_view device : kDevices) {
    if (stem == device) return true;
    if ((device == "COM" || device == "LPT") && stem.size() == 4 && stem.compare(0, 3, device) == 0 &&
        std::isdigit(static_cast<unsigned char>(stem[3]))) {
      return true;
    }
  }
  return false;
}

// One folder or file name that stays where it is put: no separator, no
// "." or "..", nothing Windows would trim away at its end, no device.
bool IsPlainName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ' || IsDeviceName(name)) return false;
  return std::none_of(name.begin(), name.end(), IsRefusedCharacter);
}

}  // namespace

std::optional<std::string> SharedObjectStore::PathOf(std::string_view store) const {
  if (folder_.empty() || store.empty()) return std::nullopt;
  std::string path = folder_;
  size_t start = 0;
  while (true) {
    const size_t end = std::min(store.find('/', start), store.size());
    const std::string_view name = store.substr(start, end - start);
    if (!IsPlainName(name)) return std::nullopt;
    path += sys::PathSeparator();
    path += name;
    if (end == store.size()) break;
    start = end + 1;
  }
  return path + std::string(kExtension);
}

std::optional<std::vector<std::uint8_t>> SharedObjectStore::Read(std::string_view store) const {
  const std::optional<std::string> path = PathOf(store);
  if (!path || !sys::FileExists(*path)) return std::nullopt;
  try {
    sys::File file(*path, sys::FileAccess::kReadShareRead);
    if (file.Size() > kLargestFile) return std::nullopt;
    const std::string bytes = file.ReadAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  } catch (const sys::FileError&) {
    return std::nullopt;
  }
}

bool SharedObjectStore::Write(std::string_view store, std::span<const std::uint8_t> bytes) const {
  const std::optional<std::string> path = PathOf(store);
  if (!path) return false;
  if (bytes.empty()) {
    sys::RemoveFile(*path);
    return !sys::FileExists(*path);
  }
  const std::string folder = sys::FolderPart(*path);
  if (!sys::MakeFolders(folder.substr(0, folder.size() - 1))) return false;
  try {
    sys::ReplaceFileContents(*path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return true;
  } catch (const sys::FileError&) {
    return false;
  }
}

std::string SharedObjectStore::FolderName(std::string_view name) {
  std::string out;
  for (char c : name) out += IsRefusedCharacter(c) ? '_' : c;
  for (auto at = out.rbegin(); at != out.rend() && (*at == '.' || *at == ' '); ++at) *at = '_';
  if (out.empty() || IsDeviceName(out)) out.insert(out.begin(), '_');
  return out;
}

}  // namespace core
