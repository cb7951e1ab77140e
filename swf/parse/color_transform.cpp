#include "swf/parse/color_transform.h"

#include <algorithm>

namespace swf {
namespace {

uint8_t ApplyChannel(uint8_t value, int32_t mult, int32_t add) {
  const int64_t result = static_cast<int64_t>(value) * mult / 256 + add;
  return static_cast<uint8_t>(std::clamp<int64_t>(result, 0, 255));
}

int32_t ComposeMult(int32_t inner, int32_t outer) {
  return static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(outer) * inner / 256, -(1 << 24), 1 << 24));
}

int32_t ComposeAdd(int32_t innerAdd, int32_t outerMult, int32_t outerAdd) {
  return static_cast<int32_t>(std::clamp<int64_t>(
      static_cast<int64_t>(outerMult) * innerAdd / 256 + outerAdd, -(1 << 24), 1 << 24));
}

}  // namespace

Rgba ColorTransform::Apply(Rgba color) const {
  return {ApplyChannel(color.r, redMult, redAdd), ApplyChannel(color.g, greenMult, greenAdd),
          ApplyChannel(color.b, blueMult, blueAdd), ApplyChannel(color.a, alphaMult, alphaAdd)};
}

ColorTransform ColorTransform::Compose(const ColorTransform& inner, const ColorTransform& outer) {
  ColorTransform result;
  result.redMult = ComposeMult(inner.redMult, outer.redMult);
  result.greenMult = ComposeMult(inner.greenMult, outer.greenMult);
  result.blueMult = ComposeMult(inner.blueMult, outer.blueMult);
  result.alphaMult = ComposeMult(inner.alphaMult, outer.alphaMult);
  result.redAdd = ComposeAdd(inner.redAdd, outer.redMult, outer.redAdd);
  result.greenAdd = ComposeAdd(inner.greenAdd, outer.greenMult, outer.greenAdd);
  result.blueAdd = ComposeAdd(inner.blueAdd, outer.blueMult, outer.blueAdd);
  result.alphaAdd = ComposeAdd(inner.alphaAdd, outer.alphaMult, outer.alphaAdd);
  return result;
}

}  // namespace swf
