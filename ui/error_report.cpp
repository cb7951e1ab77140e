#include "ui/error_report.h"

#include <exception>
#include <new>

#include "ui/application_title.h"

namespace ui {

std::string ErrorReportText(const std::string& message) {
  if (message.empty()) return message;
  const char* begin = message.c_str();
  // Step back by one character, not one byte: a double-byte character's lead
  // byte decides, and lead bytes all sort after ".".
  const char* last = ::CharPrevA(begin, begin + message.size());
  if (static_cast<unsigned char>(*last) > static_cast<unsigned char>('.')) return message + ".";
  return message;
}

void ShowErrorReport(Dialogs& dialogs, const std::string& message) {
  MessageBoxRequest request;
  request.owner = ::GetActiveWindow();
  request.text = ErrorReportText(message);
  request.caption = kApplicationTitle;
  request.type = MB_OK | MB_ICONERROR;
  dialogs.ShowMessageBox(request);
}

void ReportCurrentException(Dialogs& dialogs) noexcept {
  try {
    try {
      throw;
    } catch (const std::bad_alloc&) {
      ShowErrorReport(dialogs, "Out of memory");
    } catch (const std::exception& error) {
      ShowErrorReport(dialogs, error.what());
    } catch (...) {
      ShowErrorReport(dialogs, "Unknown error");
    }
  } catch (...) {
    // Showing the report failed as well; there is nobody left to tell.
  }
}

}  // namespace ui
