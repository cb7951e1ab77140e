#include "swf/runtime/actions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "swf/runtime/runtime.h"

namespace swf {
namespace {

bool SameName(const std::string& a, const std::string& b, bool ignoreCase) {
  if (!ignoreCase) return a == b;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// A named child that can be a target: a clip, or a button (whose state
// clips a path may go on into); a shape's or static text's name stands for
// the parent.
ObjectHandle Child(const Stage& stage, const DisplayObject& parent, const std::string& name, bool ignoreCase) {
  for (const auto& [depth, handle] : parent.children) {
    const DisplayObject& object = *stage.Get(handle);
    if (object.kind == ObjectKind::kTextField || object.name.empty()) continue;
    if (!SameName(object.name, name, ignoreCase)) continue;
    if (object.kind == ObjectKind::kMovieClip || object.kind == ObjectKind::kButton) return handle;
    return parent.self;
  }
  return {};
}

std::vector<std::string> Split(const std::string& path, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = std::min(path.find(separator, start), path.size());
    parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

ObjectHandle ResolveTarget(const Stage& stage, ObjectHandle origin, const std::string& path, bool ignoreCase) {
  if (stage.Get(origin) == nullptr) return {};
  if (path.empty()) return origin;
  ObjectHandle clip = origin;
  std::string rest = path;
  const bool slashes = path.find('/') != std::string::npos;
  if (slashes && rest.front() == '/') {
    clip = stage.LevelOf(origin);
    rest.erase(0, 1);
    if (rest.empty()) return clip;
  }
  const std::vector<std::string> parts = Split(rest, slashes ? '/' : '.');
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    const DisplayObject* object = stage.Get(clip);
    // A separator at the end names the clip before it: "/a/b/".
    if (part.empty() && i + 1 == parts.size() && i > 0) break;
    if (object == nullptr || part.empty()) return {};
    if (part == ".." || SameName(part, "_parent", ignoreCase)) {
      clip = object->parent;
    } else if (SameName(part, "_root", ignoreCase)) {
      clip = RootOf(stage, clip);
    } else if (const std::optional<int32_t> level = LevelNumber(part, ignoreCase)) {
      clip = stage.Level(*level);
    } else if (part == "." || SameName(part, "this", ignoreCase)) {
      continue;
    } else {
      clip = Child(stage, *object, part, ignoreCase);
    }
  }
  return stage.Get(clip) != nullptr ? clip : ObjectHandle{};
}

ObjectHandle RootOf(const Stage& stage, ObjectHandle object) {
  const DisplayObject* clip = stage.Get(object);
  while (clip != nullptr && !clip->lockRoot && !clip->parent.IsNone()) clip = stage.Get(clip->parent);
  return clip != nullptr ? clip->self : ObjectHandle{};
}

std::optional<int32_t> LevelNumber(std::string_view name, bool ignoreCase) {
  constexpr std::string_view kPrefix = "_level";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 9) return std::nullopt;
  for (size_t i = 0; i < kPrefix.size(); ++i) {
    const char c = ignoreCase ? static_cast<char>(std::tolower(static_cast<unsigned char>(name[i]))) : name[i];
    if (c != kPrefix[i]) return std::nullopt;
  }
  int32_t level = 0;
  for (const char c : name.substr(kPrefix.size())) {
    if (c < '0' || c > '9') return std::nullopt;
    level = level * 10 + (c - '0');
  }
  return level;
}

}  // namespace swf
