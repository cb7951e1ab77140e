// Writing package files: the stub and the compressed block to the target,
// and the whole build from movie paths to the file.
#include <new>
#include <span>
#include <string_view>
#include <vector>

#include "core/package_writer.h"
#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"
#include "sys/replace_file.h"

namespace core {
namespace {

// The stub, already open, read whole and written before the block's pieces.
void WriteStubAndBlock(sys::File& stub, std::span<const std::string_view> block,
                       const std::string& targetPath) {
  std::vector<std::string_view> pieces;
  std::string stubBytes;
  try {
    stubBytes = stub.ReadAll();
    pieces.reserve(block.size() + 1);
    pieces.push_back(stubBytes);
    pieces.insert(pieces.end(), block.begin(), block.end());
  } catch (const sys::ReadError&) {
    throw sys::OpenError(stub.Path());  // an unreadable stub is reported like a missing one
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  // Windows refuses the target by its share modes while the stub is open;
  // other systems have none, so the stub is protected by its identity.
  if (sys::SameFile(stub.Path(), targetPath)) throw sys::CreateError(targetPath);
  // Through a temporary file, so that a write that fails part-way (a full
  // disk) leaves a former package at the target as it was.
  sys::ReplaceFileContents(targetPath, pieces);
}

class NoObserver final : public BuildObserver {
 public:
  void StageReached(BuildStage) override {}
};

}  // namespace

std::size_t BuildPackageFile(const PackageBuild& build, BuildObserver& observer) {
  PackageWriter writer(build.sizeLimit);
  writer.Start();
  observer.StageReached(BuildStage::kWriterReady);

  for (const std::string& path : build.moviePaths) {
    if (!writer.AddMovie(path)) observer.MovieLeftOut(path);
  }
  const std::size_t movieCount = writer.MovieCount();
  observer.StageReached(BuildStage::kMoviesRead);

  writer.AppendDirectory(build.releaseFlag, build.dateStamp);
  observer.StageReached(BuildStage::kDirectoryAppended);

  ChunkedBytes block = writer.FinishBlock();
  sys::File stub(build.stubPath, sys::FileAccess::kReadShareReadWrite);
  observer.StageReached(BuildStage::kCompressedAndStubOpen);

  std::vector<std::string_view> pieces;
  try {
    pieces = block.Pieces();
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  }
  WriteStubAndBlock(stub, pieces, build.targetPath);
  return movieCount;
}

void BuildPackageFile(const std::string& stubPath, const std::vector<std::string>& moviePaths,
                      bool releaseFlag, double dateStamp, const std::string& targetPath) {
  NoObserver observer;
  BuildPackageFile({stubPath, moviePaths, releaseFlag, dateStamp, targetPath}, observer);
}

void WritePackage(const std::string& stubPath, std::string_view compressedBlock,
                  const std::string& targetPath) {
  sys::File stub(stubPath, sys::FileAccess::kReadShareReadWrite);
  WriteStubAndBlock(stub, std::span<const std::string_view>(&compressedBlock, 1), targetPath);
}

}  // namespace core
