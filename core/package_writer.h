#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/chunked_bytes.h"
#include "core/package_format.h"

namespace core {

class Deflater;

// Builds a package's compressed block step by step. Each movie is read once,
// in slices that go straight into the compressor, so neither the movies nor
// the payload are ever held whole; only the compressed block grows in memory.
//
//   PackageWriter writer;
//   for (path : paths) writer.AddMovie(path);
//   writer.AppendDirectory(releaseFlag, OleDate(sys::LocalDate()));
//   ChunkedBytes block = writer.FinishBlock();
//
// BuildPackageFile (below) runs these steps and writes the package file.
// Errors: PackageTooLargeError, OutOfMemoryError, CompressorError, and the
// sys::FileError types of the movie files. A failure while a movie is being
// read leaves the writer unusable for this package.
class PackageWriter {
 public:
  // `sizeLimit` caps the payload and the compressed block; smaller than the
  // format's own limit only to test the refusal.
  explicit PackageWriter(std::uint64_t sizeLimit = kMaxStoredSize);
  ~PackageWriter();
  PackageWriter(const PackageWriter&) = delete;
  PackageWriter& operator=(const PackageWriter&) = delete;

  // Starts the compressor if it is not running yet; the first movie does it
  // otherwise. Lets a caller meet a failing start before any movie is read.
  void Start();

  // Compresses the whole movie file into the payload and adds its line to
  // the directory. A path whose file has gone is left out without a word
  // (returns false); a file that exists but cannot be opened throws
  // sys::OpenError ("Cannot open file %s"); one whose size changes while it
  // is read throws sys::ReadError. A movie that would take the payload to
  // the size limit is refused (PackageTooLargeError) before it is read.
  bool AddMovie(const std::string& path);

  // Adds a movie from memory, for callers that hold the bytes already.
  void AddMovieBytes(std::string_view fileName, std::string_view bytes);

  // Ends the payload: the directory text and the payload trailer follow the
  // movie data. Only the end of the compression is left after this.
  void AppendDirectory(bool releaseFlag, double dateStamp);

  // Ends the zlib stream and returns it followed by the payload size and the
  // compressed size; PackageTooLargeError when the stream reaches the size
  // limit. The writer is empty again afterwards.
  ChunkedBytes FinishBlock();

  // AppendDirectory and FinishBlock, the block as one string.
  std::string Finish(bool releaseFlag, double dateStamp);

  std::size_t MovieCount() const { return movieCount_; }

 private:
  void CheckRoomFor(std::uint64_t movieSize, std::size_t lineSize) const;
  void Reset();

  std::uint64_t sizeLimit_;
  std::unique_ptr<Deflater> deflater_;
  std::unique_ptr<char[]> readBuffer_;
  std::uint64_t payloadSize_ = 0;
  std::string directory_;
  std::size_t movieCount_ = 0;
  bool directoryAppended_ = false;
  bool broken_ = false;
};

// The stages of a build, in the order they are reached; a progress display
// shows one position for each. Every stage comes before anything is written.
enum class BuildStage {
  kWriterReady,             // the compressor is running, no movie read yet
  kMoviesRead,              // every movie is read (and most of it compressed)
  kDirectoryAppended,       // the payload is complete
  kCompressedAndStubOpen,   // the block is complete and the stub is open
};

// What a build is told as it goes. StageReached may throw to stop the build;
// since every stage comes before the target is touched, nothing is written.
class BuildObserver {
 public:
  virtual ~BuildObserver() = default;
  virtual void StageReached(BuildStage stage) = 0;
  // A movie whose file has gone; it is left out and the build goes on.
  virtual void MovieLeftOut(const std::string& path) { (void)path; }
};

struct PackageBuild {
  std::string stubPath;
  std::vector<std::string> moviePaths;
  bool releaseFlag = false;
  double dateStamp = 0;  // OLE date
  std::string targetPath;
  // Largest payload or compressed block; smaller only to test the refusal.
  std::uint64_t sizeLimit = kMaxStoredSize;
};

// The one way a package file is built: each movie read once into the
// compressor, then the stub opened (a missing stub is noticed only after
// every movie has been compressed), read whole and written with the block to
// the target through WritePackage's safe replacement. Returns the number of
// movies packed. Errors: PackageTooLargeError (before the movie that breaks
// the limit is read, or after compression), OutOfMemoryError,
// CompressorError; sys::OpenError for a movie or stub that cannot be opened
// (also an unreadable stub), sys::ReadError for a movie that changes while it
// is read, sys::CreateError for a target that cannot be created (the stub
// itself among them) and sys::WriteError for a write that stops part-way.
std::size_t BuildPackageFile(const PackageBuild& build, BuildObserver& observer);

// All steps at once, for callers without a progress display.
void BuildPackageFile(const std::string& stubPath, const std::vector<std::string>& moviePaths,
                      bool releaseFlag, double dateStamp, const std::string& targetPath);

// The last step alone: reads the player stub whole (others may still read and
// write it), then writes stub and block to the target through a temporary
// file that takes the target's place, so a failure never leaves a former
// target emptied or half-written. The stub stays open meanwhile, so choosing
// the stub itself as the target fails with "Cannot create file %s" and
// leaves the stub intact.
void WritePackage(const std::string& stubPath, std::string_view compressedBlock,
                  const std::string& targetPath);

}  // namespace core
