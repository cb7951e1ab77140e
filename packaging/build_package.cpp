#include "packaging/build_package.h"

#include <new>

#include "core/ole_date.h"
#include "core/package_writer.h"
#include "packaging/ProgressUnit.h"
#include "packaging/texts.h"
#include "sys/clock.h"
#include "sys/process.h"
#include "ui/handles.h"
#include "ui/message_loop.h"

namespace packaging {

namespace {

std::string StubPath(const BuildPackageOptions& options) {
  std::string folder = options.stubFolder.empty() ? sys::ExecutableFolder() : options.stubFolder;
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return folder + texts::kStubName;
}

int PositionOf(core::BuildStage stage) {
  switch (stage) {
    case core::BuildStage::kWriterReady:
      return progress::kBuffersCreated;
    case core::BuildStage::kMoviesRead:
      return progress::kMoviesRead;
    case core::BuildStage::kDirectoryAppended:
      return progress::kDirectoryAppended;
    case core::BuildStage::kCompressedAndStubOpen:
      break;
  }
  return progress::kCompressedAndStubOpen;
}

// Moves the bar to each stage's position and pauses there.
class Stages final : public core::BuildObserver {
 public:
  Stages(TProgressForm& form, ui::Pauses& pauses) : form_(form), pauses_(pauses) {}
  void Reach(int position) {
    form_.SetProgress(position);
    pauses_.Pause(kStagePause);
  }
  void StageReached(core::BuildStage stage) override { Reach(PositionOf(stage)); }

 private:
  TProgressForm& form_;
  ui::Pauses& pauses_;
};

void WritePackage(Stages& stages, const std::vector<std::string>& paths, bool releaseFlag,
                  const std::string& target, const BuildPackageOptions& options) {
  stages.Reach(progress::kPainted);
  core::PackageBuild build;
  build.dateStamp = core::OleDate(sys::LocalDate());
  build.moviePaths = paths;
  build.releaseFlag = releaseFlag;
  build.targetPath = target;
  build.stubPath = StubPath(options);
  build.sizeLimit = options.sizeLimit;
  core::BuildPackageFile(build, stages);
}

std::string CurrentErrorMessage() {
  try {
    throw;
  } catch (const core::PackageTooLargeError&) {
    return texts::kPackageTooLarge;
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
