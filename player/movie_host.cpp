#include "player/movie_host.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "player/draw_frame.h"
#include "swf/input_event.h"
#include "swf/player.h"
#include "ui/handles.h"

namespace player {
namespace {

constexpr UINT_PTR kFrameTimer = 0x5146;  // the host's own timer id on the window
// Timer periods are kept within these; the clock itself measures real time,
// so a late timer does not slow the movie down.
constexpr double kShortestPeriodMs = 10;
constexpr double kLongestPeriodMs = 10000;

// The character a key going down types with the keyboard's state now; none
// for keys that type nothing.
char32_t TypedCharacter(WPARAM key, LPARAM lParam) {
  BYTE state[256] = {};
  if (!::GetKeyboardState(state)) return 0;
  // Control combinations type control codes; the movie wants the key's own
  // character then.
  state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_RCONTROL] = 0;
  wchar_t text[4] = {};
  const UINT scanCode = (static_cast<UINT>(lParam) >> 16) & 0xFF;
  const int count = ::ToUnicode(static_cast<UINT>(key), scanCode, state, text, 4, 0);
  return count == 1 && text[0] >= 0x20 ? static_cast<char32_t>(text[0]) : 0;
}

swf::InputEvent EventOf(swf::InputKind kind) {
  swf::InputEvent event;
  event.kind = kind;
  return event;
}

}  // namespace

MovieHost::MovieHost() = default;

MovieHost::~MovieHost() {
  audio_.SetMovie(nullptr);
  StopClock();
}

void MovieHost::SetMovie(std::unique_ptr<swf::Player> movie) {
  StopClock();
  audio_.SetMovie(nullptr);
  movie_ = std::move(movie);
  audio_.SetMovie(movie_.get());
  pictureStale_ = false;
}

bool MovieHost::IsPlaying() const { return movie_ && clockRunning_ && movie_->IsPlaying(); }

void MovieHost::StartClock() {
  if (!movie_ || window_ == nullptr) return;
  const double period = std::clamp(movie_->FrameInterval() * 1000.0, kShortestPeriodMs, kLongestPeriodMs);
  ::SetTimer(window_, kFrameTimer, static_cast<UINT>(period), nullptr);
  lastTick_ = std::chrono::steady_clock::now();
  clockRunning_ = true;
  audio_.Resume();
}

void MovieHost::StopClock() {
  if (window_ != nullptr) ::KillTimer(window_, kFrameTimer);
  clockRunning_ = false;
  audio_.Pause();
}

void MovieHost::SetEmptyPicture(uint32_t color, std::string message) {
  emptyColor_ = color & 0xFFFFFFu;
  emptyMessage_ = std::move(message);
}

void MovieHost::Redraw() {
  if (window_ == nullptr) return;
  RECT client{};
  ::GetClientRect(window_, &client);
  buffer_.Resize(client.right, client.bottom);
  if (movie_) {
    DrawFrame(*movie_, quality_, buffer_);
  } else {
    const size_t count = static_cast<size_t>(buffer_.Width()) * static_cast<size_t>(buffer_.Height());
    std::fill(buffer_.Pixels(), buffer_.Pixels() + count, emptyColor_);
    if (!emptyMessage_.empty()) DrawMessage(emptyMessage_);
  }
  pictureStale_ = false;
  ::GdiFlush();
  ::InvalidateRect(window_, nullptr, FALSE);
}

void MovieHost::DrawMessage(const std::string& text) {
  HDC dc = buffer_.Dc();
  ui::ScopedSelect font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  const uint32_t r = (emptyColor_ >> 16) & 0xFF, g = (emptyColor_ >> 8) & 0xFF, b = emptyColor_ & 0xFF;
  const bool dark = r * 299 + g * 587 + b * 114 < 128000;
  ::SetTextColor(dc, dark ? RGB(255, 255, 255) : RGB(0, 0, 0));
  RECT area{8, 8, buffer_.Width() - 8, buffer_.Height() - 8};
  ::DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  ::GdiFlush();
}

void MovieHost::Paint(HDC dc, int height) {
  if (!buffer_.Ready()) Redraw();
  ::BitBlt(dc, 0, 0, buffer_.Width(), std::min(height, buffer_.Height()), buffer_.Dc(), 0, 0, SRCCOPY);
}

void MovieHost::OnFrameTimer() {
  if (!movie_) return;
  const auto now = std::chrono::steady_clock::now();
  const double elapsed = std::chrono::duration<double>(now - lastTick_).count();
  lastTick_ = now;
  const size_t frames = movie_->Advance(elapsed);
  audio_.Update();
  if (frames > 0 || pictureStale_) Redraw();
}

void MovieHost::Deliver(const swf::InputEvent& event) {
  if (!movie_) return;
  const swf::CursorShape before = movie_->Cursor();
  movie_->HandleInput(event);
  audio_.Update();
  if (movie_->Cursor() != before) SetCursorShape();
  // A move redraws with the next frame, unless no frame is coming.
  if (event.kind == swf::InputKind::kMouseMove && clockRunning_ && movie_->Cursor() == before) {
    pictureStale_ = true;
  } else {
    Redraw();
  }
}

void MovieHost::MouseEvent(UINT message, LPARAM lParam) {
  if (!movie_) return;
  swf::InputEvent event;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      event.kind = swf::InputKind::kMouseDown;
      event.button = swf::MouseButton::kLeft;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      event.kind = swf::InputKind::kMouseDown;
      event.button = swf::MouseButton::kRight;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      event.kind = swf::InputKind::kMouseDown;
      event.button = swf::MouseButton::kMiddle;
      break;
    case WM_LBUTTONUP:
      event.kind = swf::InputKind::kMouseUp;
      event.button = swf::MouseButton::kLeft;
      break;
    case WM_RBUTTONUP:
      event.kind = swf::InputKind::kMouseUp;
      event.button = swf::MouseButton::kRight;
      break;
    case WM_MBUTTONUP:
      event.kind = swf::InputKind::kMouseUp;
      event.button = swf::MouseButton::kMiddle;
      break;
    default:
      event.kind = swf::InputKind::kMouseMove;
      break;
  }
  // Client pixels back to stage pixels through the picture's "show all" fit.
  const swf::Rect& stage = movie_->StageRect();
  const swf::Matrix view = swf::ShowAllTransform(stage, std::max(1, buffer_.Width()), std::max(1, buffer_.Height()));
  const std::optional<swf::Matrix> toTwips = view.Inverse();
  if (!toTwips) return;
  const swf::Point twips = toTwips->Apply({static_cast<double>(GET_X_LPARAM(lParam)),
                                           static_cast<double>(GET_Y_LPARAM(lParam))});
  event.x = (twips.x - stage.xMin) / swf::kTwipsPerPixel;
  event.y = (twips.y - stage.yMin) / swf::kTwipsPerPixel;
  Deliver(event);
}

void MovieHost::KeyEvent(UINT message, WPARAM wParam, LPARAM lParam) {
  swf::InputEvent event;
  if (message == WM_CHAR) {
    if (wParam < 0x20) return;  // control characters come as keys
    event.kind = swf::InputKind::kTextInput;
    event.character = static_cast<char32_t>(wParam);
  } else {
    event.kind = message == WM_KEYDOWN ? swf::InputKind::kKeyDown : swf::InputKind::kKeyUp;
    // The system's virtual-key codes are the player's key codes.
    event.keyCode = static_cast<int>(wParam);
    if (message == WM_KEYDOWN) event.character = TypedCharacter(wParam, lParam);
  }
  Deliver(event);
}

bool MovieHost::SetCursorShape() {
  if (window_ == nullptr) return false;
  const bool hand = movie_ && movie_->Cursor() == swf::CursorShape::kHand;
  POINT mouse{};
  ::GetCursorPos(&mouse);
  ::ScreenToClient(window_, &mouse);
  RECT client{};
  ::GetClientRect(window_, &client);
  if (!::PtInRect(&client, mouse)) return false;
  ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(hand ? IDC_HAND : IDC_ARROW)));
  return true;
}

bool MovieHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_TIMER:
      if (wParam != kFrameTimer) return false;
      OnFrameTimer();
      return true;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) Redraw();
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_MOUSEMOVE:
      if (!trackingLeave_ && window_ != nullptr) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
      }
      MouseEvent(message, lParam);
      return true;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      // While the capture is held the mouse is still the movie's.
      if (mouseButtonsDown_ == 0) Deliver(EventOf(swf::InputKind::kMouseLeave));
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      // A click gives the movie the keyboard, and the mouse until released.
      ::SetFocus(window_);
      if (mouseButtonsDown_++ == 0) ::SetCapture(window_);
      MouseEvent(message, lParam);
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      MouseEvent(message, lParam);
      if (mouseButtonsDown_ > 0 && --mouseButtonsDown_ == 0) ::ReleaseCapture();
      return true;
    case WM_CAPTURECHANGED:
      mouseButtonsDown_ = 0;
      return true;
    case WM_MOUSEWHEEL: {
      swf::InputEvent event;
      event.kind = swf::InputKind::kMouseWheel;
      event.wheelDelta = static_cast<double>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA;
      Deliver(event);
      return true;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      KeyEvent(message, wParam, lParam);
      return true;
    case WM_SETFOCUS:
      Deliver(EventOf(swf::InputKind::kFocusIn));
      return true;
    case WM_KILLFOCUS:
      Deliver(EventOf(swf::InputKind::kFocusOut));
      return true;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT || reinterpret_cast<HWND>(wParam) != window_) return false;
      if (!SetCursorShape()) return false;
      result = TRUE;
      return true;
    default:
      return false;
  }
}

}  // namespace player
