#include "swf/avm1/property_map.h"

#include "swf/avm1/builtins/string_case.h"
#include "swf/avm1/utf16.h"

namespace swf::avm1 {

namespace {

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string FoldCase(std::string_view name) {
  if (IsAscii(name)) {
    std::string folded(name);
    for (char& c : folded) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
  }
  // Beyond ASCII names meet through the player's own lower-case mapping
  // ("\u00C4" is "\u00E4", and the three forms of "dz" are one).
  std::u16string units = ToUtf16(name);
  for (char16_t& unit : units) unit = ToLowerUnit(unit);
  return FromUtf16(units);
}

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (!IsAscii(a) || !IsAscii(b)) return FoldCase(a) == FoldCase(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::int64_t PropertyMap::IndexOf(std::string_view name, bool ignoreCase) const {
  // Most objects have a handful of properties: a scan beats hashing them,
  // and spares every small object its two tables.
  if (!Indexed()) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      const Entry& entry = entries_[i];
      if (entry.live && (ignoreCase ? EqualIgnoringCase(entry.name, name) : entry.name == name)) {
        return static_cast<std::int64_t>(i);
      }
    }
    return -1;
  }
  // Lookups by string_view need a key; the maps are keyed by std::string so
  // that names of any origin can be looked up without a transparent hash.
  if (!ignoreCase) {
    const auto found = exact_.find(std::string(name));
    return found == exact_.end() ? -1 : static_cast<std::int64_t>(found->second);
  }
  const auto found = folded_.find(FoldCase(name));
  return found == folded_.end() ? -1 : static_cast<std::int64_t>(found->second);
}

Property* PropertyMap::Find(std::string_view name, bool ignoreCase) {
  const std::int64_t index = IndexOf(name, ignoreCase);
  return index < 0 ? nullptr : &entries_[static_cast<size_t>(index)].property;
}

const Property* PropertyMap::Find(std::string_view name, bool ignoreCase) const {
  const std::int64_t index = IndexOf(name, ignoreCase);
  return index < 0 ? nullptr : &entries_[static_cast<size_t>(index)].property;
}

Property& PropertyMap::Set(std::string_view name, bool ignoreCase) {
  if (Property* existing = Find(name, ignoreCase)) return *existing;
  const auto index = static_cast<std::uint32_t>(entries_.size());
  entries_.push_back({std::string(name), Property{}, true});
  ++live_;
  if (entries_.size() == kIndexFrom) {
    Reindex();
    return entries_.back().property;
  }
  if (!Indexed()) return entries_.back().property;
  // An exact name of SWF 7 code may sit beside others that differ only in
  // case; the folded index keeps pointing at the oldest of them.
  exact_.emplace(std::string(name), index);
  folded_.emplace(FoldCase(name), index);
  return entries_.back().property;
}

bool PropertyMap::Erase(std::string_view name, bool ignoreCase) {
  const std::int64_t index = IndexOf(name, ignoreCase);
  if (index < 0) return false;
  Entry& entry = entries_[static_cast<size_t>(index)];
  entry.live = false;
  entry.property = Property{};
  --live_;
  if (!Indexed()) return true;
  exact_.erase(entry.name);
  const std::string folded = FoldCase(entry.name);
  folded_.erase(folded);
  // Another live entry of the same folded name takes its place.
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].live && FoldCase(entries_[i].name) == folded) {
      folded_.emplace(folded, static_cast<std::uint32_t>(i));
      break;
    }
  }
  if (entries_.size() > 16 && live_ < entries_.size() / 2) Compact();
  return true;
}

void PropertyMap::Compact() {
  std::vector<Entry> kept;
  kept.reserve(live_);
  for (Entry& entry : entries_) {
    if (entry.live) kept.push_back(std::move(entry));
  }
  entries_ = std::move(kept);
  Reindex();
}

void PropertyMap::Reindex() {
  exact_.clear();
  folded_.clear();
  if (!Indexed()) return;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].live) continue;
    exact_.emplace(entries_[i].name, static_cast<std::uint32_t>(i));
    folded_.emplace(FoldCase(entries_[i].name), static_cast<std::uint32_t>(i));
  }
}

}  // namespace swf::avm1
