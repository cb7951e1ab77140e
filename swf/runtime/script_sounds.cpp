#include "swf/runtime/script_sounds.h"

#include <algorithm>
#include <cstdlib>

namespace swf {
namespace {

float Fraction(int32_t percent) { return static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f; }

int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value))); }

}  // namespace

SoundTransform SoundLevels::ForMixer() const {
  SoundTransform transform;
  transform.leftToLeft = Fraction(leftToLeft);
  transform.rightToLeft = Fraction(rightToLeft);
  transform.leftToRight = Fraction(leftToRight);
  transform.rightToRight = Fraction(rightToRight);
  transform.volume = Fraction(volume);
  return transform;
}

int32_t SoundLevels::Pan() const {
  // A left level of exactly full says the pan went right (or nowhere);
  // otherwise the left was turned down by the pan to the right.
  if (leftToLeft == 100) return Wrap(std::llabs(int64_t{rightToRight}) - 100);
  return Wrap(100 - std::llabs(int64_t{leftToLeft}));
}

SoundLevels ScriptSounds::LevelsOf(ObjectHandle clip) const {
  const auto found = levels_.find(KeyOf(clip));
  return found != levels_.end() ? found->second : SoundLevels{};
}

void ScriptSounds::SetLevels(ObjectHandle clip, const SoundLevels& levels) {
  levels_[KeyOf(clip)] = levels;
  ScriptSoundRequest request;
  request.kind = ScriptSoundRequest::Kind::kGroupTransform;
  request.group = GroupOf(clip);
  request.transform = levels.ForMixer();
  Request(std::move(request));
}

void ScriptSounds::SetMasterLevels(const SoundLevels& levels) {
  master_ = levels;
  ScriptSoundRequest request;
  request.kind = ScriptSoundRequest::Kind::kMasterTransform;
  request.transform = levels.ForMixer();
  Request(std::move(request));
}

uint32_t ScriptSounds::GroupOf(ObjectHandle clip) {
  const auto [it, made] = groups_.try_emplace(KeyOf(clip), static_cast<uint32_t>(groups_.size() + 1));
  return it->second;
}

void ScriptSounds::Schedule(const Pending& pending) {
  if (pending_.size() < kMaxPending) pending_.push_back(pending);
}

std::vector<ScriptSounds::Pending> ScriptSounds::TakeDue(double now) {
  std::vector<Pending> due;
  std::vector<Pending> waiting;
  for (const Pending& pending : pending_) (pending.due <= now ? due : waiting).push_back(pending);
  pending_ = std::move(waiting);
  std::stable_sort(due.begin(), due.end(), [](const Pending& a, const Pending& b) { return a.due < b.due; });
  return due;
}

void ScriptSounds::MarkRoots(avm1::Marker& marker) const {
  for (const Pending& pending : pending_) marker.Mark(pending.object);
}

}  // namespace swf
