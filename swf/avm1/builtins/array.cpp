// Array: the constructor and every method of Array.prototype.
//
// The methods work on any object with a length, as the player's do, and
// they read and write elements as own properties, without getters or the
// prototype chain (an element an object inherits reads as undefined). What
// moves elements (shift, unshift, reverse, splice) deletes the old property
// and makes a new one at the end of the creation order, unless the
// property may not be deleted; a read-only one then keeps its value. That
// is what for..in shows afterwards.
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "swf/avm1/builtins/common.h"
#include "swf/avm1/builtins/install.h"
#include "swf/avm1/conversions.h"
#include "swf/avm1/operators.h"

namespace swf::avm1 {
namespace {

using builtins::IndexName;

// The length Array's methods work with (see SetLength).
std::int64_t LengthOf(Vm& vm, const Value& self) {
  Object* object = vm.Get(vm.ObjectFor(self));
  if (object != nullptr && object->cls == ObjectClass::kArray) {
    const Property* length = object->properties.Find("length", false);
    const double stored = length != nullptr ? vm.ToNumber(length->value) : 0;
    return std::isfinite(stored) && stored > 0 ? static_cast<std::int64_t>(std::min(stored, 4294967295.0)) : 0;
  }
  return builtins::LengthOf(vm, self);
}

// sort and sortOn options.
namespace sort_flags {
constexpr int kCaseInsensitive = 1;
constexpr int kDescending = 2;
constexpr int kUniqueSort = 4;
constexpr int kReturnIndexedArray = 8;
constexpr int kNumeric = 16;
}  // namespace sort_flags

Object* ObjectOf(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject) && !call.self.Is(ValueKind::kClip)) return nullptr;
  return call.vm.Get(call.vm.ObjectFor(call.self));
}

Value GetElement(Vm& vm, const Value& self, std::int64_t index) {
  vm.Work();  // every loop over elements reads them here
  Object* object = vm.Get(vm.ObjectFor(self));
  if (object == nullptr) return {};
  const Property* property = object->properties.Find(IndexName(static_cast<double>(index)), vm.IgnoreCase());
  // An element made into a property with addProperty reads as the value
  // it stored, without its getter.
  return property != nullptr ? property->value : Value();
}

void DeleteElement(Vm& vm, const Value& self, std::int64_t index) {
  vm.Work();
  Object* object = vm.Get(vm.ObjectFor(self));
  if (object == nullptr) return;
  const std::string name = IndexName(static_cast<double>(index));
  const Property* property = object->properties.Find(name, vm.IgnoreCase());
  if (property != nullptr && !property->Has(property_flags::kDontDelete)) object->properties.Erase(name, vm.IgnoreCase());
}

// Sets an element in place (a read-only one keeps its value).
void SetElement(Vm& vm, const Value& self, std::int64_t index, Value value) {
  Object* object = vm.Get(vm.ObjectFor(self));
  if (object == nullptr) return;
  const std::string name = IndexName(static_cast<double>(index));
  Property* existing = object->properties.Find(name, vm.IgnoreCase());
  if (existing != nullptr && (existing->Has(property_flags::kReadOnly) || existing->IsAccessor())) return;
  object->properties.Set(name, vm.IgnoreCase()).value = std::move(value);
}

// Deletes the element and sets it again: it moves to the end of the order.
void ReplaceElement(Vm& vm, const Value& self, std::int64_t index, Value value) {
  DeleteElement(vm, self, index);
  SetElement(vm, self, index, std::move(value));
}

// An Array's length is its own state: the methods read and write it as
// stored, whatever addProperty put on the name. Other objects' length is an
// ordinary member.
void SetLength(Vm& vm, const Value& self, std::int64_t length) {
  Object* object = vm.Get(vm.ObjectFor(self));
  if (object != nullptr && object->cls == ObjectClass::kArray) {
    object->properties.Set("length", false).value = Value::Number(static_cast<double>(length));
    return;
  }
  vm.SetMember(self, "length", Value::Number(static_cast<double>(length)));
}

std::vector<Value> Elements(Vm& vm, const Value& self) {
  const std::int64_t length = vm.WalkableLength(LengthOf(vm, self));
  std::vector<Value> elements;
  elements.reserve(static_cast<size_t>(std::min<std::int64_t>(length, 1 << 16)));
  for (std::int64_t i = 0; i < length; ++i) elements.push_back(GetElement(vm, self, i));
  return elements;
}

bool IsArray(Vm& vm, const Value& value) {
  if (!value.Is(ValueKind::kObject)) return false;
  const Object* object = vm.Get(value.AsObject());
  return object != nullptr && object->cls == ObjectClass::kArray;
}

// A relative position of slice and splice: negative counts from the end;
// the result lies in [0, length].
std::int64_t Position(Vm& vm, const Value& value, std::int64_t length) {
  const std::int64_t position = DoubleToInt32(vm.ToNumber(value));
  if (position < 0) return std::max<std::int64_t>(0, length + position);
  return std::min(position, length);
}

std::string ElementText(Vm& vm, const Value& value) {
  if (value.Is(ValueKind::kUndefined)) return "undefined";
  return vm.ToStringValue(value);
}

std::string Join(Vm& vm, const Value& self, const std::string& separator) {
  const std::int64_t length = LengthOf(vm, self);
  std::string text;
  for (std::int64_t i = 0; i < length; ++i) {
    if (i > 0) text += separator;
    text += ElementText(vm, GetElement(vm, self, i));
    if (text.size() > Vm::kMaxStringBytes) {
      vm.StopScript();
      break;
    }
  }
  return text;
}

// new Array(n) makes n empty elements; any other arguments are the elements.
// Called without new it makes an array all the same.
Value ConstructArray(NativeCall& call) {
  Vm& vm = call.vm;
  if (call.args.size() == 1 && call.args[0].Is(ValueKind::kNumber)) {
    const ObjectRef array = vm.NewArray({});
    const std::int32_t length = DoubleToInt32(call.args[0].AsNumber());
    vm.SetMember(Value::Object(array), "length", Value::Number(length));
    return Value::Object(array);
  }
  return Value::Object(vm.NewArray(call.args));
}

Value Push(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  for (size_t i = 0; i < call.args.size(); ++i) {
    SetElement(vm, call.self, length + static_cast<std::int64_t>(i), call.args[i]);
  }
  const std::int64_t newLength = length + static_cast<std::int64_t>(call.args.size());
  SetLength(vm, call.self, newLength);
  return Value::Number(static_cast<double>(newLength));
}

Value Pop(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  if (length == 0) return {};
  Value last = GetElement(vm, call.self, length - 1);
  DeleteElement(vm, call.self, length - 1);
  SetLength(vm, call.self, length - 1);
  return last;
}

Value Shift(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  // Moving every element of a huge sparse array would make them all.
  if (vm.WalkableLength(length) < length) return {};
  if (length == 0) return {};
  Value first = GetElement(vm, call.self, 0);
  for (std::int64_t i = 1; i < length; ++i) ReplaceElement(vm, call.self, i - 1, GetElement(vm, call.self, i));
  DeleteElement(vm, call.self, length - 1);
  SetLength(vm, call.self, length - 1);
  return first;
}

Value Unshift(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  // Moving every element of a huge sparse array would make them all.
  if (vm.WalkableLength(length) < length) return {};
  const auto count = static_cast<std::int64_t>(call.args.size());
  if (count > 0) {
    for (std::int64_t i = length - 1; i >= 0; --i) ReplaceElement(vm, call.self, i + count, GetElement(vm, call.self, i));
    for (std::int64_t i = 0; i < count; ++i) ReplaceElement(vm, call.self, i, call.args[static_cast<size_t>(i)]);
  }
  SetLength(vm, call.self, length + count);
  return Value::Number(static_cast<double>(length + count));
}

Value Reverse(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  // Moving every element of a huge sparse array would make them all.
  if (vm.WalkableLength(length) < length) return {};
  for (std::int64_t low = 0, high = length - 1; low < high; ++low, --high) {
    Value lowValue = GetElement(vm, call.self, low);
    Value highValue = GetElement(vm, call.self, high);
    ReplaceElement(vm, call.self, low, std::move(highValue));
    ReplaceElement(vm, call.self, high, std::move(lowValue));
  }
  return call.self;
}

Value JoinMethod(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::string separator = call.Arg(0).Is(ValueKind::kUndefined) ? "," : vm.ToStringValue(call.Arg(0));
  return Value::String(Join(vm, call.self, separator));
}

Value ToStringMethod(NativeCall& call) {
  if (ObjectOf(call) == nullptr) return {};
  return Value::String(Join(call.vm, call.self, ","));
}

Value Concat(NativeCall& call) {
  Vm& vm = call.vm;
  std::vector<Value> elements = ObjectOf(call) != nullptr ? Elements(vm, call.self) : std::vector<Value>{};
  for (const Value& arg : call.args) {
    if (IsArray(vm, arg)) {
      std::vector<Value> more = Elements(vm, arg);
      elements.insert(elements.end(), more.begin(), more.end());
    } else {
      elements.push_back(arg);
    }
  }
  return Value::Object(vm.NewArray(elements));
}

Value Slice(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  const std::int64_t start = call.Arg(0).Is(ValueKind::kUndefined) ? 0 : Position(vm, call.Arg(0), length);
  std::int64_t end = call.Arg(1).Is(ValueKind::kUndefined) ? length : Position(vm, call.Arg(1), length);
  if (end > start) end = start + vm.WalkableLength(end - start);
  std::vector<Value> elements;
  for (std::int64_t i = start; i < end; ++i) elements.push_back(GetElement(vm, call.self, i));
  return Value::Object(vm.NewArray(elements));
}

// splice(start, count, items...): an undefined start or count, or a
// negative count, changes nothing and returns undefined.
Value Splice(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr || call.args.empty() || call.Arg(0).Is(ValueKind::kUndefined)) return {};
  const std::int64_t length = LengthOf(vm, call.self);
  const std::int64_t start = Position(vm, call.Arg(0), length);
  std::int64_t count = length - start;
  if (call.args.size() >= 2) {
    if (call.Arg(1).Is(ValueKind::kUndefined)) return {};
    const std::int64_t asked = DoubleToInt32(vm.ToNumber(call.Arg(1)));
    if (asked < 0) return {};
    count = std::min(asked, length - start);
  }
  const std::span<const Value> items = call.args.size() > 2 ? call.args.subspan(2) : std::span<const Value>{};
  const auto inserted = static_cast<std::int64_t>(items.size());
  if (count > Vm::kMaxElements || length - start - count > Vm::kMaxElements) {
    vm.StopScript();
    return {};
  }
  std::vector<Value> removed;
  for (std::int64_t i = 0; i < count; ++i) removed.push_back(GetElement(vm, call.self, start + i));
  std::vector<Value> tail;
  for (std::int64_t i = start + count; i < length; ++i) tail.push_back(GetElement(vm, call.self, i));
  for (std::int64_t i = 0; i < inserted; ++i) ReplaceElement(vm, call.self, start + i, items[static_cast<size_t>(i)]);
  for (size_t i = 0; i < tail.size(); ++i) {
    ReplaceElement(vm, call.self, start + inserted + static_cast<std::int64_t>(i), std::move(tail[i]));
  }
  const std::int64_t newLength = length - count + inserted;
  for (std::int64_t i = newLength; i < length; ++i) DeleteElement(vm, call.self, i);
  SetLength(vm, call.self, newLength);
  return Value::Object(vm.NewArray(removed));
}

// --- sort and sortOn ------------------------------------------------------

// How two values compare under one set of options: <0, 0 or >0.
class Comparer {
 public:
  Comparer(Vm& vm, int flags, Value function) : vm_(vm), flags_(flags), function_(std::move(function)) {}

  int Compare(const Value& a, const Value& b) {
    int order = 0;
    if (builtins::IsCallable(vm_, function_)) {
      const Value args[] = {a, b};
      const double result = vm_.ToNumber(vm_.Call(function_, Value(), args));
      order = result < 0 ? -1 : (result > 0 ? 1 : 0);
    } else if ((flags_ & sort_flags::kNumeric) != 0) {
      order = CompareNumbers(a, b);
    } else {
      order = CompareStrings(a, b);
    }
    return (flags_ & sort_flags::kDescending) != 0 ? -order : order;
  }

 private:
  int CompareNumbers(const Value& a, const Value& b) {
    // Numeric order applies to numbers; anything else sorts as text after
    // them.
    const bool aNumber = a.Is(ValueKind::kNumber), bNumber = b.Is(ValueKind::kNumber);
    if (aNumber && bNumber) {
      const double x = a.AsNumber(), y = b.AsNumber();
      if (std::isnan(x) || std::isnan(y)) return std::isnan(x) == std::isnan(y) ? 0 : (std::isnan(x) ? 1 : -1);
      return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (aNumber != bNumber) return aNumber ? -1 : 1;
    return CompareStrings(a, b);
  }

  int CompareStrings(const Value& a, const Value& b) {
    std::string x = ElementText(vm_, a), y = ElementText(vm_, b);
    if ((flags_ & sort_flags::kCaseInsensitive) != 0) {
      x = FoldCase(x);
      y = FoldCase(y);
    }
    const int order = x.compare(y);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  }

  Vm& vm_;
  int flags_;
  Value function_;
};

// A merge sort of indices: stable, and safe whatever a script comparator
// answers (std::sort is not, with an inconsistent one).
template <typename Less>
void MergeSort(std::vector<size_t>& order, Less less) {
  std::vector<size_t> buffer(order.size());
  for (size_t width = 1; width < order.size(); width *= 2) {
    for (size_t low = 0; low < order.size(); low += 2 * width) {
      const size_t middle = std::min(low + width, order.size());
      const size_t high = std::min(low + 2 * width, order.size());
      size_t i = low, j = middle, k = low;
      while (i < middle && j < high) buffer[k++] = less(order[j], order[i]) ? order[j++] : order[i++];
      while (i < middle) buffer[k++] = order[i++];
      while (j < high) buffer[k++] = order[j++];
    }
    order.swap(buffer);
  }
}

int FlagsOf(Vm& vm, const Value& value) {
  return value.Is(ValueKind::kUndefined) ? 0 : static_cast<int>(ToInt32(value, vm.Conversions()));
}

// Sorts `keys` (one list of sort keys per element) and applies the result
// to the array as the flags ask.
Value SortWith(NativeCall& call, const std::vector<Value>& elements, int flags,
               const std::function<int(size_t, size_t)>& compare) {
  Vm& vm = call.vm;
  std::vector<size_t> order(elements.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  bool duplicate = false;
  MergeSort(order, [&](size_t a, size_t b) {
    const int result = compare(a, b);
    if (result == 0) duplicate = true;
    return result < 0;
  });
  if ((flags & sort_flags::kUniqueSort) != 0 && duplicate) return Value::Number(0);
  if ((flags & sort_flags::kReturnIndexedArray) != 0) {
    std::vector<Value> indices;
    indices.reserve(order.size());
    for (const size_t index : order) indices.push_back(Value::Number(static_cast<double>(index)));
    return Value::Object(vm.NewArray(indices));
  }
  for (size_t i = 0; i < order.size(); ++i) SetElement(vm, call.self, static_cast<std::int64_t>(i), elements[order[i]]);
  return call.self;
}

// sort(), sort(flags), sort(compare), sort(compare, flags).
Value Sort(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  Value function;
  int flags = 0;
  if (builtins::IsCallable(vm, call.Arg(0))) {
    function = call.Arg(0);
    flags = FlagsOf(vm, call.Arg(1));
  } else {
    flags = FlagsOf(vm, call.Arg(0));
  }
  const std::vector<Value> elements = Elements(vm, call.self);
  Comparer comparer(vm, flags, function);
  return SortWith(call, elements, flags,
                  [&](size_t a, size_t b) { return comparer.Compare(elements[a], elements[b]); });
}

// sortOn(name or [names], options or [options per name]).
Value SortOn(NativeCall& call) {
  Vm& vm = call.vm;
  if (ObjectOf(call) == nullptr) return {};
  std::vector<std::string> fields;
  if (IsArray(vm, call.Arg(0))) {
    for (const Value& field : Elements(vm, call.Arg(0))) fields.push_back(vm.ToStringValue(field));
  } else if (!call.Arg(0).Is(ValueKind::kUndefined)) {
    fields.push_back(vm.ToStringValue(call.Arg(0)));
  }
  if (fields.empty()) return call.self;
  std::vector<int> fieldFlags(fields.size(), 0);
  int flags = 0;
  if (IsArray(vm, call.Arg(1))) {
    const std::vector<Value> options = Elements(vm, call.Arg(1));
    // Options per field only when there is one for each; the first one's
    // UNIQUESORT and RETURNINDEXEDARRAY bits apply to the whole sort.
    if (options.size() == fields.size()) {
      for (size_t i = 0; i < fields.size(); ++i) fieldFlags[i] = FlagsOf(vm, options[i]);
      flags = fieldFlags[0];
    }
  } else {
    flags = FlagsOf(vm, call.Arg(1));
    std::fill(fieldFlags.begin(), fieldFlags.end(), flags);
  }
  const std::vector<Value> elements = Elements(vm, call.self);
  std::vector<std::vector<Value>> keys(elements.size());
  for (size_t i = 0; i < elements.size(); ++i) {
    for (const std::string& field : fields) {
      keys[i].push_back(elements[i].Is(ValueKind::kObject) || elements[i].Is(ValueKind::kClip)
                            ? vm.GetMember(elements[i], field)
                            : Value());
    }
  }
  std::vector<Comparer> comparers;
  for (const int fieldFlag : fieldFlags) comparers.emplace_back(vm, fieldFlag, Value());
  return SortWith(call, elements, flags, [&](size_t a, size_t b) {
    for (size_t f = 0; f < fields.size(); ++f) {
      if (const int order = comparers[f].Compare(keys[a][f], keys[b][f]); order != 0) return order;
    }
    return 0;
  });
}

constexpr NativeMember kPrototypeMembers[] = {
    {"push", Push},       {"pop", Pop},         {"shift", Shift},       {"unshift", Unshift},
    {"reverse", Reverse}, {"join", JoinMethod}, {"toString", ToStringMethod},
    {"concat", Concat},   {"slice", Slice},     {"splice", Splice},     {"sort", Sort},
    {"sortOn", SortOn},
};

}  // namespace

void InstallArray(Vm& vm) {
  Builtins& classes = vm.MutableClasses();
  classes.arrayPrototype = vm.GetHeap().New(ObjectClass::kArray, classes.objectPrototype);
  vm.SetMember(Value::Object(classes.arrayPrototype), "length", Value::Number(0));
  vm.DefineMembers(classes.arrayPrototype, kPrototypeMembers);
  const ObjectRef constructor = vm.NewClass(ConstructArray, ConstructArray, classes.arrayPrototype);
  constexpr struct {
    const char* name;
    int value;
  } kConstants[] = {
      {"CASEINSENSITIVE", sort_flags::kCaseInsensitive},   {"DESCENDING", sort_flags::kDescending},
      {"UNIQUESORT", sort_flags::kUniqueSort},             {"RETURNINDEXEDARRAY", sort_flags::kReturnIndexedArray},
      {"NUMERIC", sort_flags::kNumeric},
  };
  for (const auto& constant : kConstants) {
    vm.DefineValue(constructor, constant.name, Value::Number(constant.value),
                   property_flags::kDontEnum | property_flags::kDontDelete | property_flags::kReadOnly);
  }
  vm.DefineValue(classes.global, "Array", Value::Object(constructor));
}

}  // namespace swf::avm1
