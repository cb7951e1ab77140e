#include "swf/render/fill_cell_cache.h"

#include <bit>
#include <cmath>
#include <functional>

namespace swf {

size_t FillCellCache::KeyHash::operator()(const Key& key) const {
  size_t hash = std::hash<const void*>()(key.layer);
  auto mix = [&hash](uint64_t value) { hash ^= std::hash<uint64_t>()(value) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2); };
  for (const double v : {key.world.a, key.world.b, key.world.c, key.world.d, key.world.tx, key.world.ty}) {
    mix(std::bit_cast<uint64_t>(v == 0 ? 0.0 : v));  // 0 and -0 are equal keys
  }
  mix(static_cast<uint64_t>(key.width) << 32 | static_cast<uint32_t>(key.height));
  mix(key.nonZero);
  return hash;
}

FillCellCache::Rasterizer* FillCellCache::Find(const Key& key) {
  const auto found = kept_.find(key);
  if (found == kept_.end()) return nullptr;
  found->second.used = true;
  return found->second.rasterizer.get();
}

FillCellCache::Rasterizer* FillCellCache::Keep(const Key& key, double edgePixels) {
  const Matrix& m = key.world;
  for (const double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) {
    if (!std::isfinite(v)) return nullptr;  // such a key would never equal itself
  }
  if (!(edgePixels >= kMinEdgePixels)) return nullptr;
  const auto seen = seen_.find(key);
  if (seen == seen_.end()) {
    seen_.emplace(key, true);
    return nullptr;
  }
  // Each cell is stored once and pointed to once when sorted; an edge makes
  // about one cell per pixel it crosses.
  constexpr double kBytesPerCell = sizeof(agg::cell_style_aa) + sizeof(void*);
  const double wanted = edgePixels * kBytesPerCell;
  if (wanted > static_cast<double>(kMaxBytes - bytes_)) {
    seen->second = true;
    return nullptr;
  }
  seen_.erase(seen);
  Kept kept{std::make_unique<Rasterizer>(), static_cast<size_t>(wanted), true};
  kept.rasterizer->clip_box(0, 0, key.width, key.height);
  Rasterizer* rasterizer = kept.rasterizer.get();
  bytes_ += kept.bytes;
  kept_.emplace(key, std::move(kept));
  return rasterizer;
}

void FillCellCache::EndFrame() {
  for (auto it = kept_.begin(); it != kept_.end();) {
    if (it->second.used) {
      it->second.used = false;
      ++it;
    } else {
      bytes_ -= it->second.bytes;
      it = kept_.erase(it);
    }
  }
  std::erase_if(seen_, [](const auto& entry) { return !entry.second; });
  for (auto& entry : seen_) entry.second = false;
}

}  // namespace swf
