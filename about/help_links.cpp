#include "about/help_links.h"

#include <stdexcept>
#include <vector>

#include "ui/window.h"

namespace about {

namespace {

// Hands one file or address to the shell: default verb, no parameters, no
// working folder, shown normally.
void OpenWithShell(HWND owner, ui::Dialogs& dialogs, const std::string& target) {
  ui::ShellRequest request;
  request.owner = owner;
  request.file = target;
  request.showCommand = SW_SHOWNORMAL;
  dialogs.OpenWithShell(request);
}

std::string RunningExecutablePath() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw std::runtime_error(ui::LastErrorText());
    if (length < path.size()) return std::string(path.data(), length);
    path.resize(path.size() * 2);  // cut short: try a longer buffer
  }
}

}  // namespace

std::string HelpFilePathFor(const std::string& executablePath) {
  const char* text = executablePath.c_str();
  const char* afterLastBackslash = text;
  for (const char* p = text; *p != '\0';) {
    const char* next = ::CharNextA(p);
    if (next == p) break;
    if (*p == '\\' && next == p + 1) afterLastBackslash = next;
    p = next;
  }
  return std::string(text, afterLastBackslash) + kHelpFileName;
}

std::string HelpFilePath() { return HelpFilePathFor(RunningExecutablePath()); }

void OpenHelpContent(HWND owner, ui::Dialogs& dialogs) { OpenWithShell(owner, dialogs, HelpFilePath()); }

void OpenWebPage(HWND owner, ui::Dialogs& dialogs) { OpenWithShell(owner, dialogs, kWebSiteAddress); }

}  // namespace about
