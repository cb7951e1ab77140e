#pragma once
// The general error report: every error that ends a command is shown here, in
// one place, and the program goes on.

#include <windows.h>

#include <string>

#include "ui/seams.h"

namespace ui {

// The report's text: the message with a full stop appended when its last
// character sorts after "." (so "Cannot open file a.swf" gets one, "Failed!"
// and "Stream write error." do not).
std::string ErrorReportText(const std::string& message);

// Shows the report: application title as caption, error icon, OK, owned by the
// active window.
void ShowErrorReport(Dialogs& dialogs, const std::string& message);

// Runs `command`; an exception escaping it becomes the general error report.
// Returns true when the command ended normally. Used by every window
// procedure, so that no exception ever unwinds through system code.
template <typename Command>
bool RunReportingErrors(Dialogs& dialogs, Command&& command) noexcept;

void ReportCurrentException(Dialogs& dialogs) noexcept;

template <typename Command>
bool RunReportingErrors(Dialogs& dialogs, Command&& command) noexcept {
  try {
    command();
    return true;
  } catch (...) {
    ReportCurrentException(dialogs);
    return false;
  }
}

}  // namespace ui
