// The Help menu's shell calls: what is opened, owned by whom, and how.
#include "about/help_links.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "support/fake_seams.h"

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The folder the build puts the programs in, as a Windows path under Wine
// (drive Z: is the Linux root), with its trailing backslash.
std::string ProgramsFolderUnderWine() {
  std::string folder = std::string("Z:") + QUORVEL_PROGRAMS_DIR;
  std::replace(folder.begin(), folder.end(), '/', '\\');
  return folder + "\\";
}

void ExpectPlainShellRequest(const ui::ShellRequest& request, HWND owner, const std::string& file) {
  EXPECT_EQ(request.owner, owner);
  EXPECT_EQ(request.verb, "");  // the default action of the file type or address
  EXPECT_EQ(request.file, file);
  EXPECT_EQ(request.parameters, "");
  EXPECT_EQ(request.directory, "");
  EXPECT_EQ(request.showCommand, SW_SHOWNORMAL);
}

TEST(HelpLinks, HelpPathIsTheExecutablesFolderUpToItsLastBackslashPlusTheHelpFile) {
  EXPECT_EQ(about::HelpFilePathFor("C:\\Program Files\\Quorvel\\QuorvelPackager.exe"),
            "C:\\Program Files\\Quorvel\\Quorvel EXE Packager.chm");
  EXPECT_EQ(about::HelpFilePathFor("\\\\server\\tools\\packager.exe"), "\\\\server\\tools\\Quorvel EXE Packager.chm");
  // A colon is not a separator here; only the backslash counts.
  EXPECT_EQ(about::HelpFilePathFor("C:packager.exe"), "Quorvel EXE Packager.chm");
  EXPECT_EQ(about::HelpFilePathFor("C:\\packager.exe"), "C:\\Quorvel EXE Packager.chm");
}

TEST(HelpLinks, ContentOpensTheHelpFileBesideTheRunningExecutable) {
  testing_support::FakeDialogs dialogs;
  HWND owner = reinterpret_cast<HWND>(0x1234);
  about::OpenHelpContent(owner, dialogs);

  ASSERT_EQ(dialogs.shellRequests.size(), 1u);
  const std::string expected = ProgramsFolderUnderWine() + "Quorvel EXE Packager.chm";
  ui::ShellRequest request = dialogs.shellRequests[0];
  EXPECT_EQ(Lower(request.file), Lower(expected));
  request.file = expected;
  ExpectPlainShellRequest(request, owner, expected);
  // The build put the help file there.
  DWORD attributes = ::GetFileAttributesA(dialogs.shellRequests[0].file.c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(HelpLinks, WebPageOpensTheHomePageOwnedByTheCallingWindow) {
  testing_support::FakeDialogs dialogs;
  HWND owner = reinterpret_cast<HWND>(0x5678);
  about::OpenWebPage(owner, dialogs);
  about::OpenWebPage(nullptr, dialogs);
  ASSERT_EQ(dialogs.shellRequests.size(), 2u);
  ExpectPlainShellRequest(dialogs.shellRequests[0], owner, "https://www.quorvel.example/");
  ExpectPlainShellRequest(dialogs.shellRequests[1], nullptr, "https://www.quorvel.example/");
}

}  // namespace
