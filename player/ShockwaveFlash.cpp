#include "player/ShockwaveFlash.h"

#include <algorithm>
#include <stdexcept>

#include "swf/movie_report.h"
#include "swf/player.h"

namespace player {

namespace {

constexpr const char* kClassName = "TShockwaveFlash";
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
  host_.Attach(Handle());
}

TShockwaveFlash::~TShockwaveFlash() = default;

void TShockwaveFlash::SetBackgroundColor(int color) {
  background_ = color & 0xFFFFFF;
  if (swf::Player* movie = host_.Movie()) movie->SetBackgroundOverride(ToRgba(background_));
  UpdateEmptyPicture();
}

void TShockwaveFlash::SetMovie(const std::wstring& path) {
  host_.SetMovie(nullptr);
  movieBytes_.clear();
  loadError_.clear();
  notice_.clear();
  moviePath_ = path;
  std::unique_ptr<swf::Player> movie;
  try {
    movieBytes_ = ReadMovieFile(path);
    movie = std::make_unique<swf::Player>(std::span<const uint8_t>(movieBytes_.data(), movieBytes_.size()),
                                          host_.Services());
    movie->SetBackgroundOverride(ToRgba(background_));
    notice_ = swf::NoticeLine(swf::ReportMovie(movie->Movie()));
  } catch (const std::bad_alloc&) {
    movie.reset();
    loadError_ = "Not enough memory to open this movie";
  } catch (const std::exception& error) {
    movie.reset();
    loadError_ = error.what();
  }
  if (!movie) movieBytes_.clear();
  host_.SetMovie(std::move(movie));
  // A newly loaded movie plays from its first frame.
  host_.StartClock();
  Redraw();
}

void TShockwaveFlash::GotoFrame(int frame) {
  swf::Player* movie = host_.Movie();
  if (movie == nullptr) return;
  movie->GotoFrame(static_cast<size_t>(std::max(frame, 0)));
  Redraw();
}

void TShockwaveFlash::Play() {
  swf::Player* movie = host_.Movie();
  if (movie == nullptr) return;
  movie->Play();
  host_.StartClock();
}

void TShockwaveFlash::Stop() {
  swf::Player* movie = host_.Movie();
  if (movie == nullptr) return;
  movie->Stop();
  host_.StopClock();
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

bool TShockwaveFlash::IsPlaying() const { return host_.IsPlaying(); }

int TShockwaveFlash::CurrentFrame() const {
  const swf::Player* movie = host_.Movie();
  return movie != nullptr ? static_cast<int>(movie->CurrentFrame()) : 0;
}

void TShockwaveFlash::UpdateEmptyPicture() {
  host_.SetEmptyPicture(static_cast<uint32_t>(background_),
                        loadError_.empty() ? std::string() : "This movie cannot be played.\r\n" + loadError_);
}

void TShockwaveFlash::Redraw() {
  UpdateEmptyPicture();
  host_.Redraw();
}

int TShockwaveFlash::NoticeTop(HDC dc) const {
  const ui::BackBuffer& buffer = host_.Buffer();
  if (!host_.Movie() || notice_.empty()) return buffer.Height();
  ui::ScopedSelect font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  return std::max(0, buffer.Height() - static_cast<int>(metrics.tmHeight) - 6);
}

void TShockwaveFlash::PaintNotice(HDC dc, int top) const {
  const RECT band{0, top, host_.Buffer().Width(), host_.Buffer().Height()};
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
    case WM_PAINT: {
      ui::PaintDc paint(Handle());
      if (!host_.Buffer().Ready()) Redraw();
      // The notice band is painted apart from the picture, so it does not
      // flicker as frames change.
      const int noticeTop = NoticeTop(paint.Get());
      host_.Paint(paint.Get(), noticeTop);
      if (noticeTop < host_.Buffer().Height()) PaintNotice(paint.Get(), noticeTop);
      return 0;
    }
    case WM_GETDLGCODE:
      // Arrows, Tab and Enter belong to the movie while it has the focus.
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    case WM_DESTROY:
      host_.StopClock();
      return 0;
    default: {
      LRESULT result = 0;
      if (host_.HandleMessage(message, wParam, lParam, result)) return result;
      return Default(message, wParam, lParam);
    }
  }
}

}  // namespace player
