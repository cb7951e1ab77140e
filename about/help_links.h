#pragma once
// The Help menu's links to the outside: the help file beside the executable
// and the maker's web site. Both go to the shell with the default verb, so the
// system's help viewer and the user's browser open them; what the shell
// answers is of no use to the program, so nothing is reported.

#include <windows.h>

#include <string>

#include "ui/seams.h"

namespace about {

// The maker's home page. A reserved example domain: the program only hands
// it to the browser.
inline constexpr const char* kWebSiteAddress = "https://www.quorvel.example/";
inline constexpr const char* kHelpFileName = "Quorvel EXE Packager.chm";

// The help file's path for an executable at `executablePath`: everything up
// to and including the path's last backslash, then the help file's name. The
// path is stepped through character by character (CharNextA), because in a
// double-byte code page a trail byte may have the value of a backslash.
std::string HelpFilePathFor(const std::string& executablePath);

// The help file's path for the running executable, formed anew at each call.
std::string HelpFilePath();

// Help, Content (MContentClick): opens the help file, owned by `owner`. A
// missing help file shows nothing.
void OpenHelpContent(HWND owner, ui::Dialogs& dialogs);

// Help, Web Page (MWebPageClick), and the clicks on the About window's logo:
// opens the maker's web site, owned by `owner`.
void OpenWebPage(HWND owner, ui::Dialogs& dialogs);

}  // namespace about
