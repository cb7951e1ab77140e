#pragma once

// A fresh folder under the system's temporary folder for one test, removed
// with everything in it afterwards. Paths are plain byte strings, as the
// code under test takes them.
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "sys/file.h"
#include "sys/file_system.h"

namespace testing_support {

class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = (std::filesystem::temp_directory_path() /
             ("quorvel-test-" + std::to_string(random()) + "-" + std::to_string(tick)))
                .string();
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }

  // The folder, the platform's separator and the name.
  std::string operator/(std::string_view name) const {
    return path_ + sys::PathSeparator() + std::string(name);
  }

  // Writes a file in the folder and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = *this / name;
    sys::WriteWholeFile(path, bytes);
    return path;
  }

 private:
  std::string path_;
};

// Deterministic bytes that compress poorly, so sizes stay realistic.
inline std::string PseudoRandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
  return bytes;
}

inline std::string ReadFileBytes(const std::string& path) {
  return sys::ReadWholeFile(path, sys::FileAccess::kReadShareReadWrite);
}

}  // namespace testing_support
