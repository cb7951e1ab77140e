#pragma once

#include <span>
#include <string>
#include <string_view>

namespace sys {

// Writes a whole file so that a failure never leaves it half-written or
// emptied:
//  1. the target is checked as creating it would check it, without creating
//     or changing anything: a folder, a missing folder, a read-only file or a
//     file that another program holds give CreateError with the path as given;
//  2. the bytes go to a temporary file in the target's folder, held
//     exclusively while written (CreateError if it cannot be made,
//     WriteError if writing stops part-way);
//  3. the temporary file takes the target's place (an existing target keeps
//     its attributes); CreateError if that fails.
// Any failure removes the temporary file and leaves an existing target as it
// was. Where no temporary file can be made in that folder but the target
// itself can be written, the target is written in place.
void ReplaceFileContents(const std::string& path, std::string_view bytes);

// The same with the contents given as pieces that follow one another, for
// callers that hold a file's parts apart and would otherwise have to join
// them into one more copy.
void ReplaceFileContents(const std::string& path, std::span<const std::string_view> pieces);

// The folder part of a path, up to and including its last separator; empty
// for a bare name. Stepped by characters, so a double-byte character's trail
// byte is never taken for a separator.
std::string FolderPart(const std::string& path);

}  // namespace sys
