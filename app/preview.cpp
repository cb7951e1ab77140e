// The preview and the thumbnail capture: one player control serves both.
#include <windows.h>
#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "app/MainUnit.h"
#include "app/thumbnail.h"
#include "core/entry_line.h"
#include "sys/file_system.h"
#include "ui/message_loop.h"

namespace app {

namespace {

std::wstring Widen(const std::string& text) {
  int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  wide.resize(wide.size() - 1);
  return wide;
}

}  // namespace

void TMainForm::PlayMovie(int index) {
  std::string path;
  for (const std::string& line : entryList_) {
    if (line.empty()) continue;
    if (core::EntryLineItemIndex(line) == index) {
      path = core::EntryLinePath(line);
      break;
    }
  }
  player_->SetBackgroundColor(0);
  if (!path.empty() && sys::FileExists(path)) {
    player_->SetMovie(Widen(path));
    player_->Play();
  } else {
    RemoveMovie(index);
  }
}

void TMainForm::ListViewSelectItem(int item) {
  if (capturing_) {
    HoldBack([this, item] { PlayMovie(item); });
    return;
  }
  PlayMovie(item);
}

void TMainForm::FlashPanelResize() {
  // The panel hears of its first size while the main window is still hidden
  // (or minimised); focusing then would activate a window nobody sees.
  if (!player_ || !::IsWindowVisible(Handle()) || ::IsIconic(Handle())) return;
  ::ShowWindow(player_->Handle(), SW_HIDE);
  ::ShowWindow(player_->Handle(), SW_SHOW);
  ::SetFocus(player_->Handle());
}

int TMainForm::CaptureThumbnail(const std::string& path) {
  player_->SetBackgroundColor(0);
  player_->SetMovie(Widen(path));
  player_->GotoFrame(0);
  player_->Stop();

  // Let the list paint the new item and the player its frame. Commands that
  // arrive meanwhile wait (see HoldBack).
  capturing_ = true;
  try {
    ui::ProcessPendingMessages();
  } catch (...) {
    capturing_ = false;
    throw;
  }
  capturing_ = false;
  GetSeams().pauses.Pause(kCapturePause);

  // What the control shows in its own rectangle, read from its back buffer.
  int width = player_->Width();
  int height = player_->Height();
  std::vector<uint32_t> thumbnail = StretchNearest(player_->Pixels(), width, height);
  return AppendThumbnail(thumbnail);
}

int TMainForm::AppendThumbnail(const std::vector<uint32_t>& pixels) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kThumbnailSide;
  info.bmiHeader.biHeight = -kThumbnailSide;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  ui::UniqueBitmap picture(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!picture) throw std::runtime_error(ui::LastErrorText());
  std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
  ::GdiFlush();

  // Thumbnails are opaque: an all-zero mask.
  ui::UniqueBitmap mask(::CreateBitmap(kThumbnailSide, kThumbnailSide, 1, 1, nullptr));
  ui::UniqueMemoryDc maskDc(::CreateCompatibleDC(nullptr));
  {
    ui::ScopedSelect select(maskDc.Get(), mask.Get());
    ::PatBlt(maskDc.Get(), 0, 0, kThumbnailSide, kThumbnailSide, BLACKNESS);
  }
  int index = ::ImageList_Add(imageList_.Get(), picture.Get(), mask.Get());
  if (index < 0) throw std::runtime_error("Cannot store the thumbnail");
  return index;
}

}  // namespace app
