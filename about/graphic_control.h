#pragma once
// A control without a window of its own, painted by its parent panel and
// sent the clicks that land on it, as a picture inside a panel is. Having no
// window, it never takes the pointer from the panel: the panel's cursor shows
// over it and the panel sees no pointer-leave when the pointer moves onto it.

#include <windows.h>

#include <functional>

#include "ui/handles.h"

namespace about {

class GraphicControl {
 public:
  GraphicControl(const GraphicControl&) = delete;
  GraphicControl& operator=(const GraphicControl&) = delete;
  virtual ~GraphicControl() = default;

  // Place in the parent's client coordinates.
  const RECT& BoundsRect() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height) { bounds_ = RECT{left, top, left + width, top + height}; }

  virtual void Paint(HDC dc) const = 0;

  // Runs when the left button is pressed and released over the control.
  std::function<void()> OnClick;

 protected:
  GraphicControl() = default;

 private:
  RECT bounds_{};
};

// A picture shown at its own size, its top-left corner at the control's place.
class Picture final : public GraphicControl {
 public:
  Picture() = default;
  // Takes the bitmap and sizes the control to it.
  void SetBitmap(ui::UniqueBitmap bitmap);
  void Paint(HDC dc) const override;

 private:
  ui::UniqueBitmap bitmap_;
};

}  // namespace about
