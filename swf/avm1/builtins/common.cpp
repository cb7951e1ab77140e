#include "swf/avm1/builtins/common.h"

#include <cmath>

#include "swf/avm1/number_text.h"
#include "swf/avm1/utf16.h"

namespace swf::avm1::builtins {

Value ToObject(Vm& vm, const Value& value) {
  ObjectClass cls = ObjectClass::kObject;
  ObjectRef proto = vm.Classes().objectPrototype;
  switch (value.kind()) {
    case ValueKind::kObject:
    case ValueKind::kClip: return value;
    case ValueKind::kUndefined:
    case ValueKind::kNull: return Value::Object(vm.NewObject());
    case ValueKind::kString:
      cls = ObjectClass::kString;
      proto = vm.Classes().stringPrototype;
      break;
    case ValueKind::kNumber:
      cls = ObjectClass::kNumber;
      proto = vm.Classes().numberPrototype;
      break;
    case ValueKind::kBoolean:
      cls = ObjectClass::kBoolean;
      proto = vm.Classes().booleanPrototype;
      break;
  }
  const ObjectRef wrapper = vm.GetHeap().New(cls, proto);
  if (Object* object = vm.Get(wrapper)) object->payload = std::make_unique<PrimitivePayload>(value);
  if (value.Is(ValueKind::kString)) {
    vm.DefineValue(wrapper, "length", Value::Number(static_cast<double>(Utf16Length(value.AsString()))));
  }
  return Value::Object(wrapper);
}

const Value* WrappedPrimitive(Vm& vm, const Value& value, ObjectClass cls) {
  if (!value.Is(ValueKind::kObject)) return nullptr;
  Object* object = vm.Get(value.AsObject());
  if (object == nullptr || object->cls != cls) return nullptr;
  const auto* payload = object->PayloadAs<PrimitivePayload>();
  return payload != nullptr ? &payload->value : nullptr;
}

bool IsCallable(Vm& vm, const Value& value) {
  return value.Is(ValueKind::kObject) && vm.IsFunction(value.AsObject());
}

std::string IndexName(double index) { return NumberToString(index); }

std::int64_t LengthOf(Vm& vm, const Value& object) {
  const double length = vm.ToNumber(vm.GetMember(object, "length"));
  if (!std::isfinite(length) || length <= 0) return 0;
  return static_cast<std::int64_t>(std::min(length, 4294967295.0));
}

}  // namespace swf::avm1::builtins
