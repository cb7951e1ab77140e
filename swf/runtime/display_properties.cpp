// The _x-style properties of display objects, as scripts read and set them.
// Positions are in pixels (the stage keeps twips), scales and alpha in
// percent, rotation in degrees. Scale and rotation are kept as a script set
// them while the matrix stays the one they made, so that a negative scale or
// a rotation past 180 degrees reads back as written.
#include <cctype>
#include <cmath>
#include <numbers>

#include "swf/avm1/number_text.h"
#include "swf/render/cached_objects.h"
#include "swf/runtime/actions.h"
#include "swf/runtime/input_events.h"
#include "swf/runtime/runtime.h"
#include "swf/runtime/script_bridge.h"

namespace swf {

using avm1::Value;

namespace {

enum Property {
  kX, kY, kXScale, kYScale, kCurrentFrame, kTotalFrames, kAlpha, kVisible, kWidth, kHeight, kRotation,
  kTarget, kFramesLoaded, kName, kDropTarget, kUrl, kHighQuality, kFocusRect, kSoundBufTime, kQuality,
  kXMouse, kYMouse, kPropertyCount
};

int PropertyIndex(std::string_view name) {
  for (int i = 0; i < kPropertyCount; ++i) {
    const std::string_view candidate = DisplayPropertyName(i);
    if (candidate.size() != name.size()) continue;
    bool same = true;
    for (size_t c = 0; c < name.size() && same; ++c) {
      same = std::tolower(static_cast<unsigned char>(name[c])) == candidate[c];
    }
    if (same) return i;
  }
  return -1;
}

constexpr double kDegrees = 180.0 / std::numbers::pi;

// Twips are whole numbers: a position is cut to one, toward zero.
double ToTwips(double pixels) { return std::trunc(pixels * kTwipsPerPixel); }

double NormalizedDegrees(double degrees) {
  degrees = std::fmod(degrees, 360.0);
  if (degrees > 180) degrees -= 360;
  if (degrees < -180) degrees += 360;
  return degrees;
}

// The object's box in its parent's twips, or none when it shows nothing.
std::optional<Box> ParentBounds(const Stage& stage, const DisplayObject& object) {
  const std::optional<Box> local = LocalBounds(stage, object);
  if (!local) return std::nullopt;
  return MapBox(*local, object.matrix);
}

}  // namespace

ScriptBridge::Transform ScriptBridge::TransformOf(const DisplayObject& object) {
  if (const auto cached = transforms_.find(object.self.index); cached != transforms_.end()) {
    if (cached->second.matrix == object.matrix) return cached->second;
  }
  const Matrix& m = object.matrix;
  Transform transform;
  transform.xScale = std::hypot(m.a, m.b) * 100;
  transform.yScale = std::hypot(m.c, m.d) * 100;
  transform.rotation = std::atan2(m.b, m.a) * kDegrees;
  // A mirrored matrix reads as a negative y scale.
  if (m.Determinant() < 0) transform.yScale = -transform.yScale;
  transform.matrix = m;
  return transform;
}

// The matrix a transform gives, keeping the skew (the angle between the
// axes) of the matrix it changes, as the transform read from it sees it.
void ScriptBridge::SetTransform(ObjectHandle handle, const Transform& wanted) {
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr) return;
  const Transform old = TransformOf(*object);
  const Matrix& m = object->matrix;
  const double skew = std::atan2(-m.c, m.d) - old.rotation / kDegrees - (old.yScale < 0 ? std::numbers::pi : 0);
  const double rotationX = wanted.rotation / kDegrees;
  const double rotationY = rotationX + skew;
  const double sx = wanted.xScale / 100;
  const double sy = wanted.yScale / 100;
  Matrix matrix = m;
  matrix.a = sx * std::cos(rotationX);
  matrix.b = sx * std::sin(rotationX);
  matrix.c = -sy * std::sin(rotationY);
  matrix.d = sy * std::cos(rotationY);
  runtime_.SetMatrix(handle, matrix);
  Transform kept = wanted;
  kept.matrix = matrix;
  transforms_[handle.index] = kept;
}

bool ScriptBridge::GetProperty(ObjectHandle handle, std::string_view name, Value& out) {
  const int index = PropertyIndex(name);
  const Stage& stage = runtime_.Objects();
  const DisplayObject* object = stage.Get(handle);
  if (object == nullptr) return false;
  if (index < 0) {
    if (SameName(name, "_parent")) {
      out = object->parent.IsNone() ? Value() : ValueOf(object->parent);
      return true;
    }
    if (SameName(name, "_root")) {
      out = ValueOf(RootOf(stage, handle));
      return true;
    }
    if (SameName(name, "_lockroot")) {
      out = Value::Boolean(object->lockRoot);
      return true;
    }
    if (const std::optional<int32_t> level = LevelNumber(name, vm_.IgnoreCase())) {
      const ObjectHandle root = stage.Level(*level);
      if (root.IsNone()) return false;
      out = ValueOf(root);
      return true;
    }
    return false;
  }
  const auto number = [&](double n) {
    out = Value::Number(n);
    return true;
  };
  const size_t frames = object->timeline ? object->timeline->FrameCount() : 1;
  switch (index) {
    case kX: return number(object->matrix.tx / kTwipsPerPixel);
    case kY: return number(object->matrix.ty / kTwipsPerPixel);
    case kXScale: return number(TransformOf(*object).xScale);
    case kYScale: return number(TransformOf(*object).yScale);
    case kRotation: return number(TransformOf(*object).rotation);
    case kCurrentFrame:
      return number(object->timeline ? static_cast<double>(object->timeline->currentFrame + 1) : 1);
    case kTotalFrames:
    case kFramesLoaded: return number(static_cast<double>(frames));
    case kAlpha: return number(object->colorTransform.alphaMult * 100.0 / 256.0);
    case kVisible:
      out = Value::Boolean(object->visible);
      return true;
    case kWidth:
    case kHeight: {
      const std::optional<Box> box = ParentBounds(stage, *object);
      if (!box) return number(0);
      return number((index == kWidth ? box->xMax - box->xMin : box->yMax - box->yMin) / kTwipsPerPixel);
    }
    case kTarget:
      out = Value::String(SlashPath(handle));
      return true;
    case kName:
      out = Value::String(object->name);
      return true;
    case kDropTarget:
      out = Value::String(DropTargetOf(runtime_, handle));
      return true;
    case kUrl:
      out = Value::String(runtime_.UrlOf(object));
      return true;
    case kHighQuality: return number(1);
    case kFocusRect:
      out = Value::Boolean(true);
      return true;
    case kSoundBufTime: return number(5);
    case kQuality:
      out = Value::String("HIGH");
      return true;
    case kXMouse:
    case kYMouse: {
      // The mouse in the object's own pixels.
      Matrix world = object->matrix;
      for (const DisplayObject* up = stage.Get(object->parent); up != nullptr; up = stage.Get(up->parent)) {
        world = Matrix::Compose(world, up->matrix);
      }
      // In whole twips; a clip scaled to nothing sees the stage's twips
      // as its pixels.
      const std::optional<Matrix> inverse = world.Inverse();
      const Point mouse = runtime_.MousePosition();
      const Point local = inverse ? inverse->Apply(mouse) : Point{mouse.x / kTwipsPerPixel, mouse.y / kTwipsPerPixel};
      return number(std::round(index == kXMouse ? local.x : local.y) / kTwipsPerPixel);
    }
    default: return false;
  }
}

bool ScriptBridge::SetProperty(ObjectHandle handle, std::string_view name, const Value& value) {
  const int index = PropertyIndex(name);
  if (index < 0) {
    if (!SameName(name, "_lockroot")) return false;
    runtime_.SetLockRoot(handle, vm_.ToBoolean(value));
    return true;
  }
  const DisplayObject* object = runtime_.Objects().Get(handle);
  if (object == nullptr) return true;
  const double number = vm_.ToNumber(value);
  // NaN and the infinities leave a number property as it was.
  const bool finite = std::isfinite(number);
  switch (index) {
    case kX:
    case kY: {
      if (!finite) return true;
      Matrix matrix = object->matrix;
      (index == kX ? matrix.tx : matrix.ty) = ToTwips(number);
      Transform kept = TransformOf(*object);
      runtime_.SetMatrix(handle, matrix);
      kept.matrix = matrix;
      transforms_[handle.index] = kept;
      return true;
    }
    case kXScale:
    case kYScale:
    case kRotation: {
      if (!finite) return true;
      Transform transform = TransformOf(*object);
      if (index == kXScale) transform.xScale = number;
      if (index == kYScale) transform.yScale = number;
      if (index == kRotation) transform.rotation = NormalizedDegrees(number);
      SetTransform(handle, transform);
      return true;
    }
    case kAlpha: {
      if (!finite) return true;
      ColorTransform color = object->colorTransform;
      color.alphaMult = static_cast<int32_t>(std::clamp(number * 256.0 / 100.0, -32768.0, 32767.0));
      runtime_.SetColorTransform(handle, color);
      return true;
    }
    case kVisible:
      runtime_.SetVisible(handle, vm_.ToBoolean(value));
      return true;
    case kWidth:
    case kHeight: {
      if (!finite || number < 0) return true;
      if (object->textField) {
        // A text field's box changes size instead (whole twips).
        Rect& box = object->textField->bounds;
        const auto twips = static_cast<Twips>(std::min(number * kTwipsPerPixel, 1e9));
        (index == kWidth ? box.xMax : box.yMax) = (index == kWidth ? box.xMin : box.yMin) + twips;
        runtime_.TextFieldChanged(handle);
        return true;
      }
      const std::optional<Box> local = LocalBounds(runtime_.Objects(), *object);
      if (!local) return true;
      const double extent = index == kWidth ? local->xMax - local->xMin : local->yMax - local->yMin;
      if (extent <= 0) return true;
      Transform transform = TransformOf(*object);
      // The scale that makes the box that wide (tall) at the object's rotation.
      const double radians = transform.rotation / kDegrees;
      const double other = index == kWidth ? local->yMax - local->yMin : local->xMax - local->xMin;
      const double otherScale = (index == kWidth ? transform.yScale : transform.xScale) / 100;
      const double cosine = std::abs(std::cos(radians));
      const double sine = std::abs(std::sin(radians));
      const double wanted = number * kTwipsPerPixel;
      const double scale = cosine > 1e-9 ? (wanted - other * std::abs(otherScale) * sine) / (extent * cosine)
                                         : wanted / extent;
      (index == kWidth ? transform.xScale : transform.yScale) = scale * 100;
      SetTransform(handle, transform);
      return true;
    }
    case kName:
      runtime_.SetName(handle, vm_.ToStringValue(value));
      return true;
    default:
      return true;  // read-only, or a player setting a movie cannot change here
  }
}

}  // namespace swf
