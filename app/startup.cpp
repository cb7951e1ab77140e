#include "app/startup.h"

#include <exception>
#include <memory>

#include "app/texts.h"
#include "core/command_line.h"
#include "ui/message_loop.h"

namespace app {

int RunPackager(ui::Seams& seams, const char* commandLine, PlayerFactory makePlayer) {
  std::vector<std::string> arguments = core::SplitCommandLine(commandLine ? commandLine : "");
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's own name

  std::unique_ptr<TMainForm> mainForm;
  try {
    mainForm = std::make_unique<TMainForm>(seams, std::move(arguments), std::move(makePlayer));
  } catch (const std::exception& error) {
    ui::MessageBoxRequest box;
    box.text = error.what();
    box.caption = texts::kApplicationErrorCaption;
    box.type = MB_OK | MB_ICONERROR | MB_TASKMODAL;
    seams.dialogs.ShowMessageBox(box);
    return 1;
  }
  mainForm->ShowAtStart();
  return ui::RunMessageLoop();
}

}  // namespace app
