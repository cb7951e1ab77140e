#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "swf/parse/movie.h"

namespace swf {

class TimelineInstance;
struct ActionQueue;

// One display object's share of the movie's ceiling on display objects (see
// TimelineInstance::kMaxDisplayObjects), given back when the object goes.
class ObjectTicket {
 public:
  ObjectTicket() = default;
  explicit ObjectTicket(std::shared_ptr<size_t> count) : count_(std::move(count)) { ++*count_; }
  ObjectTicket(ObjectTicket&&) noexcept = default;
  ObjectTicket& operator=(ObjectTicket&& other) noexcept {
    Release();
    count_ = std::move(other.count_);
    return *this;
  }
  ~ObjectTicket() { Release(); }

 private:
  void Release() {
    if (count_) --*count_;
    count_.reset();
  }
  std::shared_ptr<size_t> count_;
};

// One entry of a display list: a character shown at a depth with its
// placement. A sprite entry owns the running instance of its own timeline.
struct DisplayObject {
  uint16_t characterId = 0;
  const Character* character = nullptr;  // null when the id is not defined
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;
  std::string name;
  uint16_t clipDepth = 0;
  uint8_t blendMode = 0;
  bool visible = true;
  // Drawn as one picture of its own: its bounds start on a whole pixel.
  bool cacheAsBitmap = false;
  std::optional<Rgba> opaqueBackground;  // fills the object's bounds behind it
  std::unique_ptr<TimelineInstance> sprite;
  ObjectTicket ticket;
};

using DisplayList = std::map<uint16_t, DisplayObject>;  // depth -> object, drawn in increasing depth

// The running state of a timeline (the root or one sprite instance): its
// display list, current frame and play flag. Frame numbers are 0-based here.
class TimelineInstance {
 public:
  // Sprites nested deeper than this show nothing, so that sprites placing
  // each other cannot recurse without end.
  static constexpr int kMaxNesting = 16;
  // Objects on all display lists of one root timeline together. Beyond it
  // new placements are not shown: a sprite placing itself several times
  // would otherwise multiply with every level of nesting.
  static constexpr size_t kMaxDisplayObjects = size_t{1} << 18;

  // Enters frame 0 at once, as a newly placed clip does. A nested instance
  // shares its root's count of display objects and queue of frame actions;
  // a root runs the actions queued by its frame changes and ticks.
  TimelineInstance(const ParsedMovie& movie, const TimelineDefinition& definition, int nesting = 0,
                   std::shared_ptr<size_t> objectCount = std::make_shared<size_t>(0),
                   TimelineInstance* parent = nullptr);
  ~TimelineInstance();
  TimelineInstance(const TimelineInstance&) = delete;
  TimelineInstance& operator=(const TimelineInstance&) = delete;

  TimelineInstance* Parent() const { return parent_; }
  const TimelineDefinition& Definition() const { return definition_; }
  // Expires when this instance goes (a script may remove the clip it runs on).
  std::weak_ptr<void> AliveToken() const { return alive_; }

  size_t CurrentFrame() const { return currentFrame_; }
  size_t FrameCount() const { return definition_.frames.size(); }
  bool IsPlaying() const { return playing_; }
  void Play() { playing_ = true; }
  void Stop() { playing_ = false; }

  // Shows `frame` (clamped to the last one). Going forward applies the frames
  // in between; going back rebuilds the display list from frame 0, keeping a
  // sprite instance whose depth ends up with the same character and ratio.
  void GotoFrame(size_t frame);

  // One tick of the clock: child sprites advance first, then this timeline
  // moves to its next frame if playing, wrapping from the last to frame 0.
  void Tick();

  const DisplayList& List() const { return list_; }

  // Runs the frame actions queued so far (on a root; a nested instance
  // leaves them to its root). Scripts run inside it only queue.
  void RunFrameActions();

 private:
  void ApplyFrame(size_t frame, bool queueActions = true);
  void QueueActions(const Frame& frame);
  void Apply(const PlaceObject& place);
  void Apply(const RemoveObject& remove);
  void Rebuild(size_t target);
  void SetCharacter(DisplayObject& object, uint16_t characterId);

  const ParsedMovie& movie_;
  const TimelineDefinition& definition_;
  int nesting_;
  std::shared_ptr<size_t> objectCount_;
  size_t currentFrame_ = 0;
  bool playing_ = true;
  DisplayList list_;
  TimelineInstance* parent_;
  std::shared_ptr<ActionQueue> actions_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // queued actions of a clip that went are dropped
};

}  // namespace swf
