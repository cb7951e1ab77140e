// How a script value is represented, and why.
//
// ActionScript 1 and 2 have seven kinds of value: undefined, null, a boolean,
// a number, a string, an object and a reference to a movie clip. A `Value`
// is a small tagged union of them (a std::variant) that is copied freely:
//
// - Booleans and numbers are held unboxed. Every number is an IEEE double,
//   as the player keeps them; integers are not a separate kind, they are
//   doubles that happen to be whole (the bit operators go through ToInt32
//   and come back as doubles).
// - A string is held by value, as UTF-8 bytes (movies of SWF 6 and later
//   store UTF-8; older ones store the author's code page, which the loader
//   converts before a string becomes a value). Comparisons are by bytes,
//   which for UTF-8 is the order of the characters.
// - An object lives on the interpreter's heap; a value holds only its handle
//   (`ObjectRef`). What an object does when a conversion reaches it
//   (valueOf, toString, whether it is a function) is asked of an
//   `ObjectHost`, so that this layer knows nothing of properties,
//   prototypes or the collector.
// - A movie clip is not held by pointer: a clip can be removed and another
//   placed at the same name while a script still holds the reference, and
//   the player then resolves the reference to the new clip. So a clip
//   reference is its target path ("_level0.menu.button"), resolved again on
//   each use by the runtime. Until the runtime fills that in, the path is all
//   a `ClipReference` carries.
//
// The conversions (conversions.h) and the operators (operators.h) are free
// functions over values, given a `Context` that says which SWF version the
// running code belongs to: several of them changed between SWF 4, 5-6 and 7.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>

namespace swf::avm1 {

// The order is the order of the alternatives in Value's variant.
enum class ValueKind { kUndefined, kNull, kBoolean, kNumber, kString, kObject, kClip };

// A handle to an object on the interpreter's heap; equal handles are the
// same object.
struct ObjectRef {
  std::uint32_t id = 0;
  friend bool operator==(ObjectRef, ObjectRef) = default;
};

// A reference to a movie clip by its target path (see the note above).
struct ClipReference {
  std::string target_path;
  // The display object the reference was made for, as the display host
  // numbers them (0: none): while it lives the reference finds it, renamed
  // or moved; once it has gone the path is looked up again. Equality is by
  // path alone.
  std::uint64_t object = 0;
  friend bool operator==(const ClipReference& a, const ClipReference& b) { return a.target_path == b.target_path; }
};

class Value {
 public:
  Value() = default;  // undefined

  static Value Undefined() { return Value(); }
  static Value Null() { return Value(std::in_place, NullTag{}); }
  static Value Boolean(bool b) { return Value(std::in_place, b); }
  static Value Number(double n) { return Value(std::in_place, n); }
  static Value String(std::string s) { return Value(std::in_place, std::move(s)); }
  static Value Object(ObjectRef o) { return Value(std::in_place, o); }
  static Value Clip(ClipReference c) { return Value(std::in_place, std::move(c)); }

  ValueKind kind() const { return static_cast<ValueKind>(data_.index()); }
  bool Is(ValueKind k) const { return kind() == k; }
  bool IsUndefinedOrNull() const { return Is(ValueKind::kUndefined) || Is(ValueKind::kNull); }

  // Each accessor requires the matching kind.
  bool AsBoolean() const { return std::get<bool>(data_); }
  double AsNumber() const { return std::get<double>(data_); }
  const std::string& AsString() const { return std::get<std::string>(data_); }
  ObjectRef AsObject() const { return std::get<ObjectRef>(data_); }
  const ClipReference& AsClip() const { return std::get<ClipReference>(data_); }

 private:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) = default;
  };
  template <typename T>
  Value(std::in_place_t, T&& v) : data_(std::forward<T>(v)) {}

  std::variant<std::monostate, NullTag, bool, double, std::string, ObjectRef, ClipReference> data_;
};

// Which conversion a script asked for when an object must become a
// primitive: a number (arithmetic, comparisons) or none in particular
// (Add2, where a Date prefers its string).
enum class PrimitiveHint { kNumber, kDefault };

// What the interpreter answers about its objects. Calls may run script code
// (valueOf, toString) and so may trace, which is why the operators document
// the order in which they convert their operands.
class ObjectHost {
 public:
  virtual ~ObjectHost() = default;
  // The object's valueOf (toString for a Date under kDefault). May return an
  // object, which the conversions then treat as having no primitive value.
  virtual Value ToPrimitive(ObjectRef object, PrimitiveHint hint) = 0;
  // The object's string form (its toString, with the player's fallbacks).
  virtual std::string ToString(ObjectRef object) = 0;
  // Whether typeof names the object "function".
  virtual bool IsFunction(ObjectRef object) const = 0;
  // A clip reference's string form: the target path of the clip it finds
  // now (renamed or moved since), "" when it finds none.
  virtual std::string ClipPath(const ClipReference& clip) { return clip.target_path; }
};

// What every conversion needs to know about the code that runs it.
struct Context {
  int swf_version;
  ObjectHost& objects;
};

}  // namespace swf::avm1
