#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "swf/host_services.h"
#include "swf/parse/movie.h"

namespace swf {

class TimelineInstance;
struct ActionQueue;

// What the display objects of one root timeline and all its sprites may
// take together: objects alive at once, and placements and clips started
// within one step of the root (its first frame, a tick or a goto, with the
// scripts they run).
struct ObjectBudget {
  // Beyond it new placements are not shown: a sprite placing itself several
  // times would otherwise multiply with every level of nesting.
  static constexpr size_t kMaxLive = size_t{1} << 18;
  // An object that gives way to another at its depth gives its share of the
  // live ceiling back, so a sprite placing itself again and again at one
  // depth keeps few objects alive while its work grows with the power of the
  // nesting; the work of a step has its own ceiling.
  static constexpr size_t kMaxMadePerStep = 2 * kMaxLive;

  size_t live = 0;
  size_t madeInStep = 0;
  size_t maxMadePerStep = kMaxMadePerStep;

  bool StepCanMakeMore() const { return madeInStep < maxMadePerStep; }
};

// One display object's share of its root's ObjectBudget: it counts as a
// placement of the step it was made in and as alive until it goes.
class ObjectTicket {
 public:
  ObjectTicket() = default;
  explicit ObjectTicket(std::shared_ptr<ObjectBudget> budget) : budget_(std::move(budget)) {
    ++budget_->live;
    ++budget_->madeInStep;
  }
  ObjectTicket(ObjectTicket&&) noexcept = default;
  ObjectTicket& operator=(ObjectTicket&& other) noexcept {
    Release();
    budget_ = std::move(other.budget_);
    return *this;
  }
  ~ObjectTicket() { Release(); }

 private:
  void Release() {
    if (budget_) --budget_->live;
    budget_.reset();
  }
  std::shared_ptr<ObjectBudget> budget_;
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
  // Objects on all display lists of one root timeline together, and
  // placements and clips started in one step of the root (ObjectBudget).
  static constexpr size_t kMaxDisplayObjects = ObjectBudget::kMaxLive;
  static constexpr size_t kMaxMadePerStep = ObjectBudget::kMaxMadePerStep;

  // Enters frame 0 at once, as a newly placed clip does. A nested instance
  // shares its root's object budget and queue of frame actions; a root runs
  // the actions queued by its frame changes and ticks, and each of those
  // starts a new step of the budget. A root's scripts talk to `host` (not
  // owned), from the first frame on.
  TimelineInstance(const ParsedMovie& movie, const TimelineDefinition& definition, int nesting = 0,
                   std::shared_ptr<ObjectBudget> objects = std::make_shared<ObjectBudget>(), TimelineInstance* parent = nullptr,
                   HostServices* host = nullptr);
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

  // The host that the scripts of this root and all its sprites talk to (not
  // owned); null when nobody listens.
  HostServices* Host() const;
  void SetHost(HostServices* host);

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
  void BeginStep();

  const ParsedMovie& movie_;
  const TimelineDefinition& definition_;
  int nesting_;
  std::shared_ptr<ObjectBudget> objects_;
  size_t currentFrame_ = 0;
  bool playing_ = true;
  DisplayList list_;
  TimelineInstance* parent_;
  std::shared_ptr<ActionQueue> actions_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // queued actions of a clip that went are dropped
};

}  // namespace swf
