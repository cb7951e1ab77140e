// The Action menu's build command, handed to the packaging unit.
#include "app/MainUnit.h"
#include "packaging/build_command.h"
#include "packaging/build_package.h"

namespace app {

std::string TMainForm::BuildPackage(const std::vector<std::string>& paths, bool releaseFlag,
                                    const std::string& target) {
  return packaging::BuildPackage(Handle(), GetSeams(), paths, releaseFlag, target);
}

void TMainForm::MBuildEXEfileClick() {
  packaging::RunBuildCommand(Handle(), GetSeams(), entryList_,
                             [this](const std::vector<std::string>& paths, bool releaseFlag, const std::string& target) {
                               return BuildPackage(paths, releaseFlag, target);
                             });
}

void TMainForm::ToolButton8Click() { MBuildEXEfileClick(); }

}  // namespace app
