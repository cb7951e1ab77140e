#include "support/main_form_fixture.h"

#include <stdexcept>

#include "swf/swf_builder.h"
#include "ui/message_loop.h"

namespace apptest {

namespace {

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(path.c_str());
      }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
  char base[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, base);
  // Process ids come round again, and a run that was killed leaves its
  // folder behind: take the next free name.
  static int counter = 0;
  for (int attempt = 0;; ++attempt) {
    path_ = std::string(base) + "quorvel-app-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(::GetTickCount()) + "-" + std::to_string(++counter);
    if (::CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100) throw std::runtime_error("cannot make " + path_);
  }
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::string path = path_ + "\\" + name;
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
  return path;
}

std::string SolidMovie(unsigned char r, unsigned char g, unsigned char b,
                       const std::vector<std::vector<uint8_t>>& leadingTags) {
  using namespace swftest;
  // A rectangle exactly as large as the stage: nothing reaches past it.
  const Bytes shape = ShapeWriter(3)
                          .Solid(swf::Rgba{r, g, b, 255})
                          .BeginRecords()
                          .Change(-1, 1, -1, true, 0, 0)
                          .LineTo(4000, 0)
                          .LineTo(0, 3000)
                          .LineTo(-4000, 0)
                          .LineTo(0, -3000)
                          .End();
  std::vector<Bytes> tags = leadingTags;
  tags.insert(tags.end(), {DefineShape(3, 1, {0, 4000, 0, 3000}, shape), PlaceObject2(Place{1, false, 1}), ShowFrame()});
  const Bytes movie = Movie(tags, Signature::kFws, 10, swf::Rect{0, 4000, 0, 3000});
  return std::string(movie.begin(), movie.end());
}

std::vector<uint32_t> DrawListPicture(HIMAGELIST list, int index, UINT style, uint32_t background) {
  constexpr int kSide = 130;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kSide;
  info.bmiHeader.biHeight = -kSide;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  ui::UniqueBitmap picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ui::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  ui::ScopedSelect select(dc.Get(), picture.Get());
  auto* pixels = static_cast<uint32_t*>(bits);
  std::fill(pixels, pixels + kSide * kSide, background);
  ::ImageList_Draw(list, index, dc.Get(), 0, 0, style);
  ::GdiFlush();
  std::vector<uint32_t> result(pixels, pixels + kSide * kSide);
  for (uint32_t& pixel : result) pixel &= 0xFFFFFFu;
  return result;
}

void MainFormTest::SetUp() {
  form = std::make_unique<app::TMainForm>(fakes.seams, std::vector<std::string>{});
  ::ShowWindow(form->Handle(), SW_SHOWNORMAL);
  ::UpdateWindow(form->Handle());
}

void MainFormTest::TearDown() {
  form.reset();
  // Leave no WM_QUIT behind for the next test's loop.
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

std::vector<std::string> MainFormTest::Captions() const {
  std::vector<std::string> captions;
  for (int i = 0; i < ItemCount(); ++i) {
    char text[260] = {};
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(form->ListView(), LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    captions.emplace_back(text);
  }
  return captions;
}

int MainFormTest::ItemCount() const {
  return static_cast<int>(::SendMessageA(form->ListView(), LVM_GETITEMCOUNT, 0, 0));
}

int MainFormTest::ImageOf(int item) const {
  LVITEMA lvItem{};
  lvItem.mask = LVIF_IMAGE;
  lvItem.iItem = item;
  ::SendMessageA(form->ListView(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvItem));
  return lvItem.iImage;
}

void MainFormTest::Select(int item) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageA(form->ListView(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void MainFormTest::Deselect(int item) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  ::SendMessageA(form->ListView(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

void MainFormTest::Pump() { ui::ProcessPendingMessages(); }

}  // namespace apptest
