#include "player/ShockwaveFlash.h"

#include <algorithm>
#include <stdexcept>

#include "player/draw_frame.h"
#include "swf/movie_report.h"
#include "swf/player.h"

namespace player {

namespace {

constexpr const char* kClassName = "TShockwaveFlash";
constexpr UINT_PTR kFrameTimer = 1;
// The engine refuses larger movies anyway; reading stops here.
constexpr DWORD kLargestMovieFile = 256u << 20;
// The notice line: light text on a dark band, readable over any movie.
constexpr COLORREF kNoticeBackground = RGB(40, 40, 40);
constexpr COLORREF kNoticeText = RGB(255, 255, 255);

std::string ToAnsi(const std::wstring& text) {
  int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string result(length > 0 ? static_cast<size_t>(length) : 1, '\0');
  if (length > 0) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, result.data(), length, nullptr, nullptr);
  result.resize(result.size() - 1);
  return result;
}

// Reads a movie file named by a wide path; throws with a readable reason.
std::vector<uint8_t> ReadMovieFile(const std::wstring& path) {
  ui::UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("Cannot open file " + ToAnsi(path));
  DWORD high = 0;
  DWORD size = ::GetFileSize(file.Get(), &high);
  if (high != 0 || size > kLargestMovieFile) throw std::runtime_error("The movie file is too large");
  std::vector<uint8_t> bytes(size);
  DWORD done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), bytes.data() + done, size - done, &got, nullptr) || got == 0) {
      throw std::runtime_error("Cannot read file " + ToAnsi(path));
    }
    done += got;
  }
  return bytes;
}

swf::Rgba ToRgba(int color) {
  return swf::Rgba{static_cast<uint8_t>((color >> 16) & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
                   static_cast<uint8_t>(color & 0xFF), 0xFF};
}

}  // namespace

TShockwaveFlash::TShockwaveFlash(ui::Seams& seams, HWND parent, const RECT& place) : ui::Window(seams) {
  WNDCLASSEXA windowClass = ClassDescription(kClassName);
  windowClass.style = CS_DBLCLKS;
  RegisterWindowClass(windowClass);
  Create(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, place.left, place.top, place.right - place.left,
         place.bottom - place.top, parent, nullptr);
}

TShockwaveFlash::~TShockwaveFlash() {
  StopClock();
}

void TShockwaveFlash::SetBackgroundColor(int color) {
  background_ = color & 0xFFFFFF;
  if (movie_) movie_->SetBackgroundOverride(ToRgba(background_));
}

void TShockwaveFlash::SetMovie(const std::wstring& path) {
  StopClock();
  movie_.reset();
  movieBytes_.clear();
  loadError_.clear();
  notice_.clear();
  moviePath_ = path;
  try {
    movieBytes_ = ReadMovieFile(path);
    movie_ = std::make_unique<swf::Player>(std::span<const uint8_t>(movieBytes_.data(), movieBytes_.size()));
    movie_->SetBackgroundOverride(ToRgba(background_));
    notice_ = swf::NoticeLine(swf::ReportMovie(movie_->Movie()));
  } catch (const std::bad_alloc&) {
    movie_.reset();
    movieBytes_.clear();
    loadError_ = "Not enough memory to open this movie";
  } catch (const std::exception& error) {
    movie_.reset();
    movieBytes_.clear();
    loadError_ = error.what();
  }
  // A newly loaded movie plays from its first frame.
  if (movie_) StartClock();
  Redraw();
}

void TShockwaveFlash::GotoFrame(int frame) {
  if (!movie_) return;
  movie_->GotoFrame(static_cast<size_t>(std::max(frame, 0)));
  Redraw();
}

void TShockwaveFlash::Play() {
  if (!movie_) return;
  movie_->Play();
  StartClock();
}

void TShockwaveFlash::Stop() {
  if (!movie_) return;
  movie_->Stop();
  StopClock();
}

int TShockwaveFlash::Width() const {
  RECT r{};
  ::GetClientRect(Handle(), &r);
  return r.right;
}

int TShockwaveFlash::Height() const {
  RECT r{};
  ::GetClientRect(Handle(), &r);
  return r.bottom;
}

bool TShockwaveFlash::IsPlaying() const { return movie_ && clockRunning_ && movie_->IsPlaying(); }

int TShockwaveFlash::CurrentFrame() const { return movie_ ? static_cast<int>(movie_->CurrentFrame()) : 0; }

void TShockwaveFlash::StartClock() {
  if (!movie_) return;
  UINT interval = static_cast<UINT>(std::clamp(movie_->FrameInterval() * 1000.0, 10.0, 10000.0));
  ::SetTimer(Handle(), kFrameTimer, interval, nullptr);
  clockRunning_ = true;
}

void TShockwaveFlash::StopClock() {
  if (Handle()) ::KillTimer(Handle(), kFrameTimer);
  clockRunning_ = false;
}

void TShockwaveFlash::Redraw() {
  buffer_.Resize(Width(), Height());
  if (movie_) {
    DrawFrame(*movie_, swf::Quality::kHigh, buffer_);
  } else {
    uint32_t fill = static_cast<uint32_t>(background_);
    std::fill(buffer_.Pixels(), buffer_.Pixels() + buffer_.Width() * buffer_.Height(), fill);
    if (!loadError_.empty()) DrawMessage(loadError_);
  }
  ::GdiFlush();
  ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TShockwaveFlash::DrawMessage(const std::string& text) {
  HDC dc = buffer_.Dc();
  auto* font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  int r = (background_ >> 16) & 0xFF, g = (background_ >> 8) & 0xFF, b = background_ & 0xFF;
  bool dark = r * 299 + g * 587 + b * 114 < 128000;
  ::SetTextColor(dc, dark ? RGB(255, 255, 255) : RGB(0, 0, 0));
  RECT area{8, 8, buffer_.Width() - 8, buffer_.Height() - 8};
  std::string message = "This movie cannot be played.\r\n" + text;
  ::DrawTextA(dc, message.c_str(), -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  ::SelectObject(dc, oldFont);
}

int TShockwaveFlash::NoticeTop(HDC dc) const {
  if (!movie_ || notice_.empty()) return buffer_.Height();
  ui::ScopedSelect font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  return std::max(0, buffer_.Height() - static_cast<int>(metrics.tmHeight) - 6);
}

void TShockwaveFlash::PaintNotice(HDC dc, int top) const {
  const RECT band{0, top, buffer_.Width(), buffer_.Height()};
  ui::UniqueBrush dark(::CreateSolidBrush(kNoticeBackground));
  ::FillRect(dc, &band, dark.Get());
  ui::ScopedSelect font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kNoticeText);
  RECT text{band.left + 4, band.top, band.right - 4, band.bottom};
  ::DrawTextA(dc, notice_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

LRESULT TShockwaveFlash::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Redraw();
      return 0;
    case WM_TIMER:
      if (wParam == kFrameTimer && movie_) {
        movie_->Tick();
        Redraw();
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      ui::PaintDc paint(Handle());
      if (!buffer_.Ready()) Redraw();
      // The notice band is painted apart from the picture, so it does not
      // flicker as frames change.
      const int noticeTop = NoticeTop(paint.Get());
      ::BitBlt(paint.Get(), 0, 0, buffer_.Width(), noticeTop, buffer_.Dc(), 0, 0, SRCCOPY);
      if (noticeTop < buffer_.Height()) PaintNotice(paint.Get(), noticeTop);
      return 0;
    }
    case WM_LBUTTONDOWN:
      ::SetFocus(Handle());
      return 0;
    case WM_DESTROY:
      StopClock();
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

}  // namespace player
