#pragma once
// Writing a package to its target without ever leaving a half-written or
// emptied file behind: the target is first checked the way an exclusive
// create would check it, then the package goes into a temporary file beside
// it, which then takes the target's place.

#include <string>
#include <string_view>

namespace packaging {

// Throws sys::CreateError with the name as given when an exclusive create of
// the target would fail: a folder, a missing folder, a read-only file, or a
// file that another handle holds (the open player stub included). Creates
// and changes nothing.
void CheckTargetCanBeCreated(const std::string& target);

// Writes `bytes` to a new temporary file in the target's folder and puts it in
// the target's place (an existing target keeps its attributes and security).
// On failure the temporary file is removed and an existing target is left as
// it was: sys::CreateError with the target's name when the file cannot be
// made or moved into place, sys::WriteError when the write stops part-way.
// Where the folder allows no temporary file but the target itself can be
// created, the target is written in place.
void WriteTargetThroughTemporary(const std::string& target, std::string_view bytes);

// The folder part of a path with its final separator ("" when there is none),
// found by stepping through the text by characters.
std::string FolderPartOf(const std::string& path);

}  // namespace packaging
