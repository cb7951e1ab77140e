#pragma once

#include <cstdint>
#include <string>

namespace sys {

// True when a file (not a folder) exists at the path.
bool FileExists(const std::string& path);

// The size recorded in the file's directory entry, as a 32-bit count; 0 when
// the file cannot be found. Only the low 32 bits of larger files remain.
std::uint32_t DirectoryEntrySize(const std::string& path);

// True when both paths name one existing file (also through a hard link
// or a different spelling of the path).
bool SameFile(const std::string& first, const std::string& second);

// Removes a file; false when there was nothing to remove or it failed.
bool RemoveFile(const std::string& path);

// The platform's path separator, for joining a folder and a name.
char PathSeparator();

// The user's own folder for programs' data (the roaming application-data
// folder on Windows, the XDG data folder elsewhere), without a trailing
// separator; empty when the system names none.
std::string UserDataFolder();

// Makes the folder `path` and every missing folder above it; true when the
// folder exists afterwards.
bool MakeFolders(const std::string& path);

}  // namespace sys
