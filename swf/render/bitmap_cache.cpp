#include "swf/render/bitmap_cache.h"

#include <cmath>

namespace swf {
namespace {

void Describe(const Stage& stage, const DisplayObject& object, std::vector<CachedContent::Node>& nodes) {
  CachedContent::Node node;
  node.character = object.character;
  node.movie = object.movie;
  node.kind = object.kind;
  node.depth = object.depth;
  node.children = object.children.size();
  node.matrix = object.matrix;
  node.colorTransform = object.colorTransform;
  node.ratio = object.ratio;
  node.visible = object.visible;
  node.clipDepth = object.clipDepth;
  node.blendMode = object.blendMode;
  node.cacheAsBitmap = object.cacheAsBitmap;
  node.opaqueBackground = object.opaqueBackground;
  node.buttonState = object.buttonState;
  node.filters = object.filters.filters;
  nodes.push_back(std::move(node));
  // Clips nest at most Runtime::kMaxNesting deep.
  for (const auto& [depth, handle] : object.children) {
    if (const DisplayObject* child = stage.Get(handle)) Describe(stage, *child, nodes);
  }
}

}  // namespace

CachedContent DescribeContent(const Stage& stage, const DisplayObject& object, const Matrix& world) {
  CachedContent content;
  Describe(stage, object, content.nodes);
  // The object's own place is in `world`: only its linear part and the
  // fractions of its translation change the picture.
  content.nodes.front().matrix = Matrix{};
  content.linear = Matrix{world.a, world.b, world.c, world.d, 0, 0};
  content.fractionX = world.tx - std::floor(world.tx);
  content.fractionY = world.ty - std::floor(world.ty);
  return content;
}

size_t BitmapCache::HandleHash::operator()(const ObjectHandle& handle) const {
  return std::hash<uint64_t>()((uint64_t{handle.index} << 32) | handle.generation);
}

const BitmapCache::Picture* BitmapCache::Find(ObjectHandle handle, const CachedContent& content) {
  const auto found = kept_.find(handle);
  if (found == kept_.end() || !(found->second.picture.content == content)) return nullptr;
  found->second.used = true;
  ++reuses_;
  return &found->second.picture;
}

void BitmapCache::Keep(ObjectHandle handle, Picture picture) {
  if (const auto old = kept_.find(handle); old != kept_.end()) {
    bytes_ -= LayerBytes(old->second.picture.pixels.Width(), old->second.picture.pixels.Height());
    kept_.erase(old);
  }
  const uint64_t bytes = LayerBytes(picture.pixels.Width(), picture.pixels.Height());
  if (bytes > kMaxBytes - bytes_) return;
  bytes_ += bytes;
  kept_.emplace(handle, Entry{std::move(picture), true});
}

void BitmapCache::EndDrawing() {
  for (auto it = kept_.begin(); it != kept_.end();) {
    if (it->second.used) {
      it->second.used = false;
      ++it;
    } else {
      bytes_ -= LayerBytes(it->second.picture.pixels.Width(), it->second.picture.pixels.Height());
      it = kept_.erase(it);
    }
  }
}

}  // namespace swf
