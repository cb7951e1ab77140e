#pragma once
// TmxFlatPanel: a panel with a thin, flat frame that changes look while the
// pointer is over it or while it has the keyboard focus. The About window's
// clickable logo strip is one.
//
// The panel reserves a frame of BorderWidth pixels outside its client area
// and draws that frame itself, from a device context for the whole window,
// both after painting its client area and after the default non-client
// painting. Everything else (background colour, centred caption, windowless
// children such as a picture, clicks, cursor) is plain panel behaviour.
//
// Properties assigned before Create() are the panel's stored layout: they
// take effect when the window is made and refresh nothing.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "about/graphic_control.h"
#include "ui/window.h"

namespace about {

// A colour as the panel's properties hold it: either a fixed RGB value or a
// reference to a system colour, which follows the user's colour scheme and is
// looked up each time it is drawn.
using TColor = std::uint32_t;
inline constexpr TColor kSystemColorFlag = 0xFF000000u;
constexpr TColor FixedColor(COLORREF rgb) { return rgb & 0x00FFFFFFu; }
constexpr TColor SystemColor(int index) { return kSystemColorFlag | static_cast<TColor>(index); }
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
COLORREF ColorToRGB(TColor color);

class TmxFlatPanel : public ui::Window {
 public:
  explicit TmxFlatPanel(ui::Seams& seams);
  ~TmxFlatPanel() override = default;

  // Makes the child window at `bounds` (parent client coordinates, outer size).
  void Create(HWND parent, const RECT& bounds, int id);

  // --- the standard panel's properties ---
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  // A system cursor (IDC_HAND, ...) shown over the whole panel, frame included.
  void SetCursor(LPCSTR systemCursor) { cursor_ = systemCursor; }
  // A windowless child; the panel paints it and passes it its clicks. The
  // child must outlive the panel's window.
  void AddGraphicChild(GraphicControl& child) { graphicChildren_.push_back(&child); }
  // Runs for a click on the panel that no windowless child takes.
  std::function<void()> OnClick;

  // --- the flat panel's own properties ---
  bool Activate() const { return activate_; }
  void SetActivate(bool value) { activate_ = value; }  // shows at the next frame drawing
  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  bool Flat() const { return flat_; }
  virtual void SetFlat(bool value);
  bool ShowBorder() const { return showBorder_; }
  void SetShowBorder(bool value);
  // The control's version, "1.21"; it cannot be changed.
  std::string Version() const;
  void SetVersion(const std::string&) {}

  bool MouseInside() const { return mouseInside_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Background, caption and windowless children, then the frame.
  virtual void Paint();

 private:
  void DrawFrame();
  // Invalidates the client area and the frame, so that both painting paths run again.
  void RefreshFrame();
  bool Loading() const { return Handle() == nullptr; }
  void MouseEnter();
  void MouseLeave();
  void ClickAt(POINT clientPoint);

  TColor color_;
  std::string caption_;
  int borderWidth_;
  LPCSTR cursor_ = nullptr;
  HFONT font_ = nullptr;  // set by WM_SETFONT, owned by whoever sent it
  std::vector<GraphicControl*> graphicChildren_;

  bool activate_;
  TColor borderColor_;
  bool flat_;
  bool showBorder_;
  bool mouseInside_ = false;
  bool pressed_ = false;
};

}  // namespace about
