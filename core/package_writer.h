#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// Builds a package's compressed block step by step, so that a caller can
// show progress and pause between the steps:
//
//   PackageWriter writer;
//   for (path : paths) writer.AddMovie(path);
//   std::string block = writer.Finish(releaseFlag, OleDate(sys::LocalDate()));
//   WritePackage(stubPath, block, target);
//
// Errors are exceptions whose text is the message the user sees after
// "Error: " ("Cannot open file %s", "Out of memory while expanding memory
// stream", "error", ...).
class PackageWriter {
 public:
  // Appends the whole movie file to the payload and its line to the
  // directory. A path whose file has gone is left out without a word; a file
  // that exists but cannot be opened throws "Cannot open file %s".
  // Returns whether the movie was added.
  bool AddMovie(const std::string& path);

  // Adds a movie from memory, for callers that hold the bytes already.
  void AddMovieBytes(std::string_view fileName, std::string_view bytes);

  // Appends the directory text and the payload trailer, compresses the
  // whole payload into one zlib stream and appends the payload size and the
  // compressed size. The writer is empty again afterwards.
  std::string Finish(bool releaseFlag, double dateStamp);

  std::size_t MovieCount() const { return movieCount_; }

 private:
  void CheckRoomFor(std::uint64_t movieSize, std::size_t lineSize) const;

  std::string payload_;
  std::string directory_;
  std::size_t movieCount_ = 0;
};

// Reads the player stub whole (others may still read and write it), then
// writes stub and block to the target in one write, through a temporary
// file that takes the target's place, so a failure never leaves a former
// target emptied or half-written. The stub stays open meanwhile, so choosing
// the stub itself as the target fails with "Cannot create file %s" and
// leaves the stub intact.
void WritePackage(const std::string& stubPath, std::string_view compressedBlock,
                  const std::string& targetPath);

// All steps at once, for callers without a progress display.
void BuildPackageFile(const std::string& stubPath, const std::vector<std::string>& moviePaths,
                      bool releaseFlag, double dateStamp, const std::string& targetPath);

}  // namespace core
