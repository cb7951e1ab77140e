// player.dat: the program at the front of every package. It reads the
// package appended to its own executable and plays the movies in it; without
// a playable package it says why and ends with exit code 1.
#include <windows.h>
#include <objbase.h>

#include <exception>
#include <string>

#include "stub/folder_chooser.h"
#include "stub/own_package.h"
#include "stub/player_window.h"
#include "stub/stub_texts.h"
#include "sys/replace_file.h"
#include "ui/message_loop.h"
#include "ui/win32_seams.h"

namespace {

constexpr int kExitNoPackage = 1;
constexpr int kExitFailure = 2;

std::string OwnPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void ShowError(const std::string& text) {
  ::MessageBoxA(nullptr, text.c_str(), stub::texts::kPlayerTitle, MB_OK | MB_ICONERROR);
}

// The folder dialog needs COM on this thread for as long as the program runs.
class ComApartment {
 public:
  ComApartment() : result_(::CoInitialize(nullptr)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  const std::string ownPath = OwnPath();
  core::Package package;
  try {
    package = stub::LoadOwnPackage(ownPath);
  } catch (const std::exception& error) {
    ShowError(error.what());
    return kExitNoPackage;
  }

  ComApartment com;
  try {
    ui::Win32Seams seams;
    ui::Seams seamSet = seams.Get();
    stub::ShellFolderChooser folders;
    stub::PlayerWindow window(seamSet, folders, std::move(package),
                              {stub::PackageDisplayName(ownPath), true, sys::FolderPart(ownPath),
                               stub::DefaultSharedObjectsFolder()});
    window.Show(showCommand);
    return ui::RunMessageLoop();
  } catch (const std::exception& error) {
    ShowError(error.what());
    return kExitFailure;
  }
}
