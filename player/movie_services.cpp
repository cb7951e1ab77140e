#include "player/movie_services.h"

#include <windows.h>
#include <shellapi.h>

#include <cctype>
#include <string>

namespace player {
namespace {

// Milliseconds between 1601-01-01 (FILETIME's start) and 1970-01-01.
constexpr double kFileTimeEpochMs = 11644473600000.0;

double FileTimeMs(const FILETIME& time) {
  const ULARGE_INTEGER value{{time.dwLowDateTime, time.dwHighDateTime}};
  return static_cast<double>(value.QuadPart / 10000);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsShellAddress(std::string_view url) {
  return StartsWithNoCase(url, "http://") || StartsWithNoCase(url, "https://") || StartsWithNoCase(url, "mailto:");
}

double MovieServices::NowMilliseconds() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return FileTimeMs(now) - kFileTimeEpochMs;
}

int MovieServices::UtcOffsetMinutes(double utcMilliseconds) {
  // The zone's rules at that instant, so that daylight saving applies to
  // the date asked about.
  if (!(utcMilliseconds >= -kFileTimeEpochMs && utcMilliseconds < 2.5e14)) return 0;
  const auto ticks = static_cast<ULONGLONG>((utcMilliseconds + kFileTimeEpochMs) * 10000.0);
  const FILETIME utcFile{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  FILETIME localFile{};
  if (!::FileTimeToSystemTime(&utcFile, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
      !::SystemTimeToFileTime(&local, &localFile)) {
    return 0;
  }
  return static_cast<int>((FileTimeMs(localFile) - FileTimeMs(utcFile)) / 60000.0);
}

void MovieServices::GetUrl(std::string_view url, std::string_view) {
  if (!IsShellAddress(url)) return;
  const std::string address(url);
  ::ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void MovieServices::FsCommand(std::string_view command, std::string_view arguments) {
  if (commandSink_) commandSink_(command, arguments);
}

std::optional<std::vector<uint8_t>> MovieServices::LoadFile(std::string_view relativePath) {
  if (!fileSource_) return std::nullopt;
  return fileSource_(relativePath);
}

std::optional<std::vector<uint8_t>> MovieServices::ReadSharedObject(std::string_view store) {
  return sharedObjects_.Read(store);
}

bool MovieServices::WriteSharedObject(std::string_view store, std::span<const uint8_t> bytes) {
  return sharedObjects_.Write(store, bytes);
}

}  // namespace player
