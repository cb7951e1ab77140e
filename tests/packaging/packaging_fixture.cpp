#include "packaging_fixture.h"

#include <commctrl.h>

#include <algorithm>

#include "packaging/ProgressUnit.h"
#include "sys/file.h"
#include "ui/message_loop.h"

namespace packagingtest {

OwnerWindow::OwnerWindow() {
  hwnd_ = ::CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 223, 157, 574, 395, nullptr,
                            nullptr, ::GetModuleHandleA(nullptr), nullptr);
  ::UpdateWindow(hwnd_);
}

OwnerWindow::~OwnerWindow() { ::DestroyWindow(hwnd_); }

HWND FindProgressWindow() { return ::FindWindowA(packaging::TProgressForm::kClassName, nullptr); }

HWND ProgressBarOf(HWND progressWindow) {
  return progressWindow ? ::FindWindowExA(progressWindow, nullptr, PROGRESS_CLASSA, nullptr) : nullptr;
}

int BarPosition() {
  HWND bar = ProgressBarOf(FindProgressWindow());
  return bar ? static_cast<int>(::SendMessageA(bar, PBM_GETPOS, 0, 0)) : -1;
}

std::vector<std::string> FolderContents(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Contents(const std::string& path) {
  return sys::ReadWholeFile(path, sys::FileAccess::kReadShareReadWrite);
}

void PackagingTest::SetUp() {
  stubPath = stubFolder.Write("player.dat", std::string(kStubBytes, sizeof kStubBytes - 1));
  fakes.pauses.onPause = [this](DWORD) {
    positions.push_back(BarPosition());
    ownerDisabled.push_back(!::IsWindowEnabled(owner.Handle()));
  };
}

void PackagingTest::TearDown() {
  // Leave no window and no message of this test behind for the next one.
  ui::ProcessPendingMessages();
}

std::string PackagingTest::Build(const std::vector<std::string>& paths, bool releaseFlag, const std::string& target,
                                 packaging::BuildPackageOptions options) {
  if (options.stubFolder.empty()) options.stubFolder = stubFolder.Path();
  return packaging::BuildPackage(owner.Handle(), fakes.seams, paths, releaseFlag, target, options);
}

}  // namespace packagingtest
