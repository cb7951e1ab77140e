#include "about/mxFlatControls.h"

#include <windowsx.h>

#include <cstdio>

#include "ui/handles.h"

namespace about {

namespace {

constexpr const char* kClassName = "TmxFlatPanel";
// The version number the control carries: high byte major, low byte minor.
constexpr int kVersionNumber = 277;

// Outlines a rectangle one pixel wide with a solid pen, interior untouched.
void Outline(HDC dc, COLORREF colour, int left, int top, int right, int bottom) {
  ui::UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
  ui::ScopedSelect selectedPen(dc, pen.Get());
  ui::ScopedSelect hollowBrush(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, left, top, right, bottom);
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if (color & kSystemColorFlag) return ::GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color);
}

TmxFlatPanel::TmxFlatPanel(ui::Seams& seams)
    : ui::Window(seams),
      color_(clBtnFace),
      borderWidth_(2),
      activate_(true),
      borderColor_(clBtnShadow),
      flat_(true),
      showBorder_(true) {}

void TmxFlatPanel::Create(HWND parent, const RECT& bounds, int id) {
  RegisterWindowClass(ClassDescription(kClassName));
  ui::Window::Create(0, kClassName, caption_.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left,
                     bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void TmxFlatPanel::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  if (!Loading()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TmxFlatPanel::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  if (!Loading()) {
    ::SetWindowTextA(Handle(), caption_.c_str());
    ::InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TmxFlatPanel::SetBorderWidth(int width) {
  if (width < 0 || width == borderWidth_) return;
  borderWidth_ = width;
  // The client area changes size: have the system ask WM_NCCALCSIZE again.
  if (!Loading()) {
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TmxFlatPanel::SetBorderColor(TColor value) {
  if (value == borderColor_) return;
  borderColor_ = value;
  // Only the flat frame shows this colour; the sunken edge does not.
  if (flat_ && !Loading()) RefreshFrame();
}

void TmxFlatPanel::SetFlat(bool value) {
  if (value == flat_) return;
  flat_ = value;
  if (!Loading()) RefreshFrame();
}

void TmxFlatPanel::SetShowBorder(bool value) {
  if (value == showBorder_) return;
  showBorder_ = value;
  if (!Loading()) RefreshFrame();
}

std::string TmxFlatPanel::Version() const {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d", kVersionNumber >> 8, kVersionNumber & 0xFF);
  return text;
}

void TmxFlatPanel::RefreshFrame() {
  RECT window{};
  ::GetWindowRect(Handle(), &window);
  // In client coordinates the rectangle reaches past the client area; with
  // RDW_FRAME the frame is invalidated too, so WM_NCPAINT and WM_PAINT follow.
  RECT r{0, 0, window.right - window.left, window.bottom - window.top};
  ::RedrawWindow(Handle(), &r, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TmxFlatPanel::DrawFrame() {
  ui::WindowDc dc(Handle(), ui::WindowDc::Area::kWholeWindow);
  if (!dc) return;
  RECT window{};
  ::GetWindowRect(Handle(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const COLORREF background = ColorToRGB(color_);

  // Both rings of the frame in the panel's own colour first, so that whatever
  // frame was drawn before is gone.
  {
    ui::UniquePen pen(::CreatePen(PS_SOLID, 1, background));
    ui::ScopedSelect selectedPen(dc.Get(), pen.Get());
    ui::ScopedSelect hollowBrush(dc.Get(), ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc.Get(), 0, 0, width, height);
    ::Rectangle(dc.Get(), 1, 1, width - 1, height - 1);
  }

  RECT r{0, 0, width, height};
  const bool highlighted = (::GetFocus() == Handle() || mouseInside_) && activate_;
  if (!flat_) {
    ::DrawEdge(dc.Get(), &r, EDGE_SUNKEN, BF_RECT);
  } else if (highlighted) {
    ::DrawEdge(dc.Get(), &r, BDR_SUNKENOUTER, BF_RECT);
    Outline(dc.Get(), ::GetSysColor(COLOR_BTNFACE), 1, 1, width - 1, height - 1);
  } else if (showBorder_) {
    Outline(dc.Get(), ColorToRGB(borderColor_), 0, 0, width, height);
  }
  // Otherwise both rings keep the panel's colour: no frame shows.
}

void TmxFlatPanel::Paint() {
  {
    ui::PaintDc paint(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ui::UniqueBrush background(::CreateSolidBrush(ColorToRGB(color_)));
    ::FillRect(paint.Get(), &client, background.Get());
    if (!caption_.empty()) {
      ui::ScopedSelect font(paint.Get(), font_ ? static_cast<HGDIOBJ>(font_) : ::GetStockObject(DEFAULT_GUI_FONT));
      ::SetBkMode(paint.Get(), TRANSPARENT);
      ::SetTextColor(paint.Get(), ::GetSysColor(COLOR_BTNTEXT));
      ::DrawTextA(paint.Get(), caption_.c_str(), static_cast<int>(caption_.size()), &client,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    for (const GraphicControl* child : graphicChildren_) child->Paint(paint.Get());
  }
  DrawFrame();
}

void TmxFlatPanel::MouseEnter() {
  mouseInside_ = true;
  if (flat_ && activate_) RefreshFrame();
}

void TmxFlatPanel::MouseLeave() {
  mouseInside_ = false;
  if (flat_ && activate_) RefreshFrame();
}

void TmxFlatPanel::ClickAt(POINT clientPoint) {
  // The topmost windowless child under the pointer takes the click, as it
  // would take it if it had a window of its own.
  for (auto it = graphicChildren_.rbegin(); it != graphicChildren_.rend(); ++it) {
    if (::PtInRect(&(*it)->BoundsRect(), clientPoint)) {
      if ((*it)->OnClick) (*it)->OnClick();
      return;
    }
  }
  if (OnClick) OnClick();
}

LRESULT TmxFlatPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE: {
      RECT* proposed = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
      ::InflateRect(proposed, -borderWidth_, -borderWidth_);
      if (proposed->right < proposed->left) proposed->right = proposed->left;
      if (proposed->bottom < proposed->top) proposed->bottom = proposed->top;
      return 0;
    }
    case WM_NCHITTEST:
      // The frame belongs to the strip: clicks and the cursor there are the panel's.
      return HTCLIENT;
    case WM_NCPAINT:
      Default(message, wParam, lParam);
      DrawFrame();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // Paint fills the whole client area
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) ::InvalidateRect(Handle(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETCURSOR:
      if (cursor_ && LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorA(nullptr, cursor_));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      RefreshFrame();
      break;
    case WM_MOUSEMOVE:
      if (!mouseInside_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
        ::TrackMouseEvent(&track);
        MouseEnter();
      }
      return 0;
    case WM_MOUSELEAVE:
      MouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
      ::SetCapture(Handle());
      pressed_ = true;
      return 0;
    case WM_LBUTTONUP: {
      if (!pressed_) return 0;
      pressed_ = false;
      ::ReleaseCapture();
      // A click counts only when the button comes up over the panel, frame included.
      POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      POINT screen = point;
      ::ClientToScreen(Handle(), &screen);
      RECT window{};
      ::GetWindowRect(Handle(), &window);
      if (::PtInRect(&window, screen)) ClickAt(point);
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

}  // namespace about
