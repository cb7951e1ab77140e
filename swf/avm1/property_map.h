// The properties of one script object, in the order they were made.
//
// The order matters: for..in walks it (newest first, as the player does),
// and so do the lists the built-ins make of an object's names. Names are
// looked up exactly from SWF 7 on and without regard to ASCII case in the
// code of older movies, which sees "Score" and "score" as one property.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swf/avm1/value.h"

namespace swf::avm1 {

// Attribute bits of a property, as ASSetPropFlags writes them. The bits
// above these hide a property from movies older than a version; they are
// kept as they were set.
namespace property_flags {
inline constexpr std::uint32_t kDontEnum = 1;
inline constexpr std::uint32_t kDontDelete = 2;
inline constexpr std::uint32_t kReadOnly = 4;
// Version bits: the property does not exist for code of the versions named.
inline constexpr std::uint32_t kHiddenBelow6 = 1u << 7;
inline constexpr std::uint32_t kHiddenIn6 = 1u << 8;
inline constexpr std::uint32_t kHiddenBelow7 = 1u << 10;
inline constexpr std::uint32_t kHiddenBelow8 = 1u << 12;
inline constexpr std::uint32_t kHiddenBelow9 = 1u << 13;
inline constexpr std::uint32_t kHiddenBelow10 = 1u << 14;
}  // namespace property_flags

// Whether the version bits of `flags` hide a property from code of
// `swfVersion` (lookups and for..in then pass over it).
constexpr bool HiddenFromVersion(std::uint32_t flags, int swfVersion) {
  using namespace property_flags;
  return ((flags & kHiddenBelow6) != 0 && swfVersion < 6) || ((flags & kHiddenIn6) != 0 && swfVersion == 6) ||
         ((flags & kHiddenBelow7) != 0 && swfVersion < 7) || ((flags & kHiddenBelow8) != 0 && swfVersion < 8) ||
         ((flags & kHiddenBelow9) != 0 && swfVersion < 9) || ((flags & kHiddenBelow10) != 0 && swfVersion < 10);
}

struct Property {
  Value value;
  // addProperty's accessors (id 0: none). A property with a getter is
  // read by calling it; its value is unused.
  ObjectRef getter;
  ObjectRef setter;
  std::uint32_t flags = 0;

  bool IsAccessor() const { return getter.id != 0 || setter.id != 0; }
  bool Has(std::uint32_t flag) const { return (flags & flag) != 0; }
};

class PropertyMap {
 public:
  // Pointers returned stay valid until the next Set or Erase of this map.
  Property* Find(std::string_view name, bool ignoreCase);
  const Property* Find(std::string_view name, bool ignoreCase) const;

  // The property `name` names, made (empty, at the end of the order) if
  // there is none. A property found without case keeps its first name.
  Property& Set(std::string_view name, bool ignoreCase);

  // Removes the property whatever its flags (the caller checks DontDelete).
  bool Erase(std::string_view name, bool ignoreCase);

  size_t Size() const { return live_; }

  // Visits every property in creation order: f(const std::string& name, Property&).
  template <typename F>
  void ForEach(F&& f) {
    for (Entry& entry : entries_) {
      if (entry.live) f(static_cast<const std::string&>(entry.name), entry.property);
    }
  }
  template <typename F>
  void ForEach(F&& f) const {
    for (const Entry& entry : entries_) {
      if (entry.live) f(entry.name, entry.property);
    }
  }

 private:
  struct Entry {
    std::string name;
    Property property;
    bool live = true;
  };

  // Maps with fewer entries than this are scanned instead of hashed.
  static constexpr size_t kIndexFrom = 12;
  bool Indexed() const { return entries_.size() >= kIndexFrom; }

  std::int64_t IndexOf(std::string_view name, bool ignoreCase) const;
  void Compact();
  void Reindex();

  std::vector<Entry> entries_;
  size_t live_ = 0;
  std::unordered_map<std::string, std::uint32_t> exact_;
  // Case-folded name (FoldCase) -> the oldest live entry of that name.
  std::unordered_map<std::string, std::uint32_t> folded_;
};

// A name in the form that names differing only in case share, as the
// player folds them for code before SWF 7.
std::string FoldCase(std::string_view name);

}  // namespace swf::avm1
