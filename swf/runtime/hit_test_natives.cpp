// MovieClip.hitTest: a stage point against the clip's box or (shape flag)
// its drawn shapes, or the clip's box against another clip's, all on the
// stage in pixels.
#include <cmath>

#include "swf/render/cached_objects.h"
#include "swf/render/hit_test.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::Value;

// Into the root's space: points given to hitTest are the root's, however
// the root itself is moved or scaled.
Matrix StageMatrixOf(const Stage& stage, const DisplayObject& object) {
  if (object.parent.IsNone()) return Matrix();
  Matrix world = object.matrix;
  for (const DisplayObject* up = stage.Get(object.parent); up != nullptr && !up->parent.IsNone();
       up = stage.Get(up->parent)) {
    world = Matrix::Compose(world, up->matrix);
  }
  return world;
}

// The object's box on the stage, in twips; none for an object that shows
// nothing.
std::optional<Box> StageBox(const Stage& stage, const DisplayObject& object) {
  const std::optional<Box> local = LocalBounds(stage, object);
  if (!local) return std::nullopt;
  return MapBox(*local, StageMatrixOf(stage, object));
}

Value HitTest(NativeCall& call) {
  ScriptBridge* bridge = BridgeOf(call.vm);
  if (bridge == nullptr) return {};
  const Runtime& runtime = bridge->GetRuntime();
  const Stage& stage = runtime.Objects();
  const DisplayObject* object = stage.Get(bridge->HandleOfValue(call.self));
  if (object == nullptr || call.args.empty()) return {};
  if (call.args.size() == 1) {
    const DisplayObject* other = stage.Get(bridge->HandleOfValue(call.Arg(0)));
    if (other == nullptr) return Value::Boolean(false);
    const std::optional<Box> mine = StageBox(stage, *object);
    const std::optional<Box> theirs = StageBox(stage, *other);
    if (!mine || !theirs) return Value::Boolean(false);
    return Value::Boolean(mine->xMin <= theirs->xMax && theirs->xMin <= mine->xMax && mine->yMin <= theirs->yMax &&
                          theirs->yMin <= mine->yMax);
  }
  const double x = call.vm.ToNumber(call.Arg(0));
  const double y = call.vm.ToNumber(call.Arg(1));
  if (!std::isfinite(x) || !std::isfinite(y)) return Value::Boolean(false);
  if (call.args.size() >= 3 && call.vm.ToBoolean(call.Arg(2))) {
    // Stage pixels as the device: the object's twips through its stage
    // matrix, then twips to pixels.
    const Matrix toPixels = Matrix::Compose(StageMatrixOf(stage, *object),
                                            Matrix::Scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel));
    return Value::Boolean(ObjectContains(stage, runtime.Movie(), *object, toPixels, Point{x, y}));
  }
  const std::optional<Box> box = StageBox(stage, *object);
  if (!box) return Value::Boolean(false);
  const double tx = x * kTwipsPerPixel;
  const double ty = y * kTwipsPerPixel;
  return Value::Boolean(tx >= box->xMin && tx <= box->xMax && ty >= box->yMin && ty <= box->yMax);
}

constexpr avm1::NativeMember kMembers[] = {
    {"hitTest", HitTest},
};

}  // namespace

void InstallHitTest(avm1::Vm& vm) {
  const avm1::ObjectRef movieClip = vm.Classes().movieClipPrototype;
  if (movieClip.id != 0) vm.DefineMembers(movieClip, kMembers);
}

}  // namespace swf::natives
