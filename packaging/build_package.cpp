#include "packaging/build_package.h"

#include <new>
#include <stdexcept>

#include "core/file_name.h"
#include "core/ole_date.h"
#include "core/package_writer.h"
#include "packaging/ProgressUnit.h"
#include "packaging/texts.h"
#include "sys/clock.h"
#include "sys/file.h"
#include "sys/file_errors.h"
#include "sys/file_system.h"
#include "sys/process.h"
#include "sys/replace_file.h"
#include "ui/handles.h"
#include "ui/message_loop.h"

namespace packaging {

namespace {

class PackageTooLarge : public core::PackageError {
 public:
  PackageTooLarge() : core::PackageError(texts::kPackageTooLarge) {}
};

// Counts the payload as it grows, so that a package whose sizes would not fit
// their 32-bit fields is refused before the movie that breaks it is read.
class PayloadBudget {
 public:
  explicit PayloadBudget(std::uint64_t limit) : limit_(limit) {}

  void Take(std::uint64_t bytes) {
    if (used_ + bytes + core::kPayloadTrailerSize > limit_) throw PackageTooLarge();
    used_ += bytes;
  }
  void CheckCompressed(std::uint64_t bytes) const {
    if (bytes > limit_) throw PackageTooLarge();
  }

 private:
  std::uint64_t limit_;
  std::uint64_t used_ = 0;
};

// One movie of the path list: a file that has gone is left out without a
// word; one that exists but cannot be opened stops the build.
void AddMovie(core::PackageWriter& writer, PayloadBudget& budget, const std::string& path) {
  if (!sys::FileExists(path)) return;
  {
    // The directory line is "name:size" CR LF; its size counts too.
    const sys::File movie(path, sys::FileAccess::kReadShareReadWrite);
    const std::uint64_t size = movie.Size();
    budget.Take(size + core::FileNamePart(path).size() + std::to_string(size).size() + 3);
  }
  writer.AddMovie(path);
}

std::string StubPath(const BuildPackageOptions& options) {
  std::string folder = options.stubFolder.empty() ? sys::ExecutableFolder() : options.stubFolder;
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder + texts::kStubName;
}

class Stages {
 public:
  Stages(TProgressForm& form, ui::Pauses& pauses) : form_(form), pauses_(pauses) {}
  void Reach(int position) {
    form_.SetProgress(position);
    pauses_.Pause(kStagePause);
  }

 private:
  TProgressForm& form_;
  ui::Pauses& pauses_;
};

void WritePackage(Stages& stages, const std::vector<std::string>& paths, bool releaseFlag,
                  const std::string& target, const BuildPackageOptions& options) {
  stages.Reach(progress::kPainted);
  const double dateStamp = core::OleDate(sys::LocalDate());
  core::PackageWriter writer;
  PayloadBudget budget(options.sizeLimit);
  stages.Reach(progress::kBuffersCreated);

  for (const std::string& path : paths) AddMovie(writer, budget, path);
  stages.Reach(progress::kMoviesRead);

  // The writer appends the directory text and the payload trailer as the
  // first part of finishing; only the compression is left after this stage.
  stages.Reach(progress::kDirectoryAppended);
  std::string block;
  try {
    block = writer.Finish(releaseFlag, dateStamp);
  } catch (const core::PackageError& error) {
    const std::string message = error.what();
    if (message == core::kOutOfMemoryMessage || message == core::kCompressorErrorMessage) throw;
    throw PackageTooLarge();  // the writer's own refusal of a block of 2 GiB or more
  }
  budget.CheckCompressed(block.size() - core::kPackageTrailerSize);

  // The stub is looked for only now: a missing one is noticed after every
  // movie has been read and compressed.
  const std::string stubPath = StubPath(options);
  sys::File stub(stubPath, sys::FileAccess::kReadShareReadWrite);
  stages.Reach(progress::kCompressedAndStubOpen);

  std::string output;
  try {
    output = stub.ReadAll();
  } catch (const sys::ReadError&) {
    throw sys::OpenError(stubPath);  // an unreadable stub is reported like a missing one
  }
  output += block;
  std::string().swap(block);
  // With the stub still open, its own name is refused by its share mode;
  // other spellings of it are caught by identity. The target is checked
  // before anything is written and replaced only by a complete package.
  if (sys::SameFile(stubPath, target)) throw sys::CreateError(target);
  sys::ReplaceFileContents(target, output);
}

std::string CurrentErrorMessage() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return core::kOutOfMemoryMessage;
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return core::kCompressorErrorMessage;
  }
}

}  // namespace

std::string BuildPackage(HWND mainWindow, ui::Seams& seams, const std::vector<std::string>& paths,
                         bool releaseFlag, const std::string& target, const BuildPackageOptions& options) {
  try {
    // Declared in this order so that the main window is enabled again before
    // the progress window goes, and activation returns to it.
    TProgressForm progressForm(seams, mainWindow);
    progressForm.Show();
    ui::ScopedDisable disabled(mainWindow);
    seams.pauses.Pause(kFirstPaintPause);
    ui::ProcessPendingMessages();  // the only pass: the progress window gets painted
    Stages stages(progressForm, seams.pauses);
    WritePackage(stages, paths, releaseFlag, target, options);
    return texts::kMissionAccomplished;
  } catch (...) {
    try {
      return texts::kErrorPrefix + CurrentErrorMessage();
    } catch (...) {
      return core::kOutOfMemoryMessage;
    }
  }
}

}  // namespace packaging
