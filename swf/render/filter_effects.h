#pragma once

// The filters of display objects, drawn over premultiplied 8-bit pictures.
// Plain functions over a Layer and a filter's parameters (the structs the
// parse keeps), so that whatever holds pixels can apply them.
#include <span>

#include "swf/parse/filters.h"
#include "swf/render/layer.h"

namespace swf {

// Where red, green, blue and alpha sit in a pixel's four bytes (filters
// that read colours need to know; alpha is always last here).
struct ChannelOrder {
  int r = 0;
  int g = 1;
  int b = 2;
};
inline constexpr ChannelOrder kRgbaOrder{0, 1, 2};
inline constexpr ChannelOrder kBgraOrder{2, 1, 0};

// Device pixels per pixel of the filter's own sizes (blur, distance): the
// view's scale on each axis. Filters do not scale with their object.
struct FilterScale {
  double x = 1;
  double y = 1;
};

// How far a filter's picture can reach beyond what it filters, in whole
// device pixels on each side.
struct FilterMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
FilterMargins MarginsOf(const Filter& filter, FilterScale scale);
// The margins of filters applied one after the other (they add up).
FilterMargins MarginsOf(std::span<const Filter> filters, FilterScale scale);

// Applies the filter to the picture in place. The picture must hold the
// filter's margins already: nothing is drawn beyond its rectangle.
void ApplyFilter(const Filter& filter, Layer& picture, FilterScale scale, ChannelOrder order);

// The box blur, on every byte of `channels`-byte pixels: `passes` boxes
// for a blur `size` pixels wide (each box the odd number of pixels below
// the size), horizontally and then vertically. Values beyond the picture
// count as 0.
void BoxBlur(uint8_t* pixels, int width, int height, int channels, double sizeX, double sizeY, int passes);

}  // namespace swf
