#include "packaging/build_command.h"

#include "core/entry_line.h"
#include "packaging/CompileUnit.h"
#include "packaging/texts.h"
#include "sys/file_system.h"

namespace packaging {

std::vector<std::string> ExistingMoviePaths(const std::vector<std::string>& entryList) {
  std::vector<std::string> paths;
  for (const std::string& line : entryList) {
    if (line.empty()) continue;
    std::string path = core::EntryLinePath(line);
    // A movie whose file has gone stays in the list but not in this build.
    if (sys::FileExists(path)) paths.push_back(std::move(path));
  }
  return paths;
}

void RunBuildCommand(HWND mainWindow, ui::Seams& seams, const std::vector<std::string>& entryList,
                     const BuildPackageFunction& buildPackage) {
  const std::vector<std::string> paths = ExistingMoviePaths(entryList);
  if (paths.empty()) {
    seams.dialogs.ShowMessageBox({mainWindow, texts::kNoFlashMovie, texts::kErrorCaption, MB_OK});
    return;
  }

  bool build = false;
  bool releaseFlag = false;
  std::string target;
  {
    TCompileForm compileForm(seams);
    compileForm.SetFileList(paths);
    compileForm.ShowModal(mainWindow);
    build = compileForm.BuildFlag();
    if (build) {
      target = compileForm.FileName();
      releaseFlag = compileForm.ReleaseFlag();
    }
  }
  if (!build) return;

  // The writer has removed its progress window and enabled the main window
  // again by the time it returns, so the result shows over a usable window.
  const std::string result = buildPackage(paths, releaseFlag, target);
  seams.dialogs.ShowMessageBox({mainWindow, result, texts::kMessageCaption, MB_OK});
}

}  // namespace packaging
