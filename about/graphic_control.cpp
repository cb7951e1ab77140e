#include "about/graphic_control.h"

namespace about {

void Picture::SetBitmap(ui::UniqueBitmap bitmap) {
  bitmap_ = std::move(bitmap);
  BITMAP info{};
  if (bitmap_) ::GetObjectA(bitmap_.Get(), sizeof(info), &info);
  SetBounds(BoundsRect().left, BoundsRect().top, info.bmWidth, info.bmHeight);
}

void Picture::Paint(HDC dc) const {
  if (!bitmap_) return;
  ui::UniqueMemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return;
  ui::ScopedSelect selected(source.Get(), bitmap_.Get());
  const RECT& r = BoundsRect();
  ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.Get(), 0, 0, SRCCOPY);
}

}  // namespace about
