#pragma once

#include "app/MainUnit.h"
#include "ui/seams.h"

namespace app {

// The program from the creation of the main window to the end of its message
// loop. `commandLine` is the process's command-line text, taken whole.
// Returns the exit code: 0, or 1 when the main window cannot be created
// (after an "Application Error" box that names the error).
int RunPackager(ui::Seams& seams, const char* commandLine, PlayerFactory makePlayer = DefaultPlayerFactory());

}  // namespace app
