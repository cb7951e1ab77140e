// player.dat: the program at the front of every package. This first version
// shows which movies its package holds.
#include <windows.h>

#include <string>

#include "stub/own_package.h"

namespace {

constexpr const char* kCaption = "Quorvel Player";

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

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const stub::OwnPackageReport report = stub::ReadOwnPackage(OwnPath());
  ::MessageBoxA(nullptr, report.text.c_str(), kCaption,
                MB_OK | (report.holdsPackage ? MB_ICONINFORMATION : MB_ICONERROR));
  return report.holdsPackage ? 0 : 1;
}
