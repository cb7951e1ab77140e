#pragma once

// What the Sound objects of one root ask of the sound output, and what they
// keep between calls: the volume and channel levels of each clip (a Sound
// object names its clip by path, so the levels belong to the clip and are
// shared by every Sound of it), the requests for the player's audio, and the
// sounds still playing whose end the objects are told of (onSoundComplete),
// timed on the movie's clock so that a run with a virtual clock sees the
// same frames every time.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "swf/avm1/heap.h"
#include "swf/avm1/value.h"
#include "swf/avm1/vm.h"
#include "swf/parse/movie.h"
#include "swf/runtime/handle.h"
#include "swf/sound/mixer.h"

namespace swf {

// A clip's levels as scripts set and read them: whole percentages, kept
// as given (out of range included); the mixer gets them clamped.
struct SoundLevels {
  int32_t volume = 100;
  int32_t leftToLeft = 100;    // ll
  int32_t rightToLeft = 0;     // lr: the right input heard on the left
  int32_t leftToRight = 0;     // rl
  int32_t rightToRight = 100;  // rr

  SoundTransform ForMixer() const;
  // The pan a script reads back, as the player derives it from the levels.
  int32_t Pan() const;
};

// One thing the script side asks of the audio, in the order asked.
struct ScriptSoundRequest {
  enum class Kind : uint8_t { kStart, kStopSound, kStopGroup, kStopAll, kGroupTransform, kMasterTransform };
  Kind kind = Kind::kStart;
  // kStart and kStopSound: a sound of a movie, or loaded bytes (MP3).
  const ParsedMovie* movie = nullptr;  // null: the root's
  uint16_t soundId = 0;
  std::shared_ptr<const std::vector<uint8_t>> loadedMp3;
  uint64_t loadedKey = 0;  // tells loaded sounds apart
  uint32_t group = 0;      // whose levels apply (0: none but the master's)
  uint32_t inPoint44 = 0;  // where it starts, in 44.1 kHz samples
  uint32_t loops = 1;
  SoundTransform transform;  // kGroupTransform, kMasterTransform
};

class ScriptSounds final : public avm1::RootSource {
 public:
  // Events waiting at once; more are dropped.
  static constexpr size_t kMaxPending = 4096;

  // The levels of a clip (none yet: the defaults) and of the whole movie.
  SoundLevels LevelsOf(ObjectHandle clip) const;
  void SetLevels(ObjectHandle clip, const SoundLevels& levels);
  const SoundLevels& MasterLevels() const { return master_; }
  void SetMasterLevels(const SoundLevels& levels);
  // The mixer group of a clip's sounds, made on first use.
  uint32_t GroupOf(ObjectHandle clip);

  void Request(ScriptSoundRequest request) { requests_.push_back(std::move(request)); }
  std::vector<ScriptSoundRequest> TakeRequests() { return std::exchange(requests_, {}); }

  // Calls `method` (onSoundComplete, onLoad) on `object` once the clock
  // reaches `due`, unless the object's serial has moved on from `serial`
  // by then (the sound was stopped or replaced).
  struct Pending {
    avm1::ObjectRef object;
    double due = 0;
    uint64_t serial = 0;
    bool complete = true;  // onSoundComplete; false: onLoad(success)
    bool success = true;
  };
  void Schedule(const Pending& pending);
  bool HasPending() const { return !pending_.empty(); }
  // What fell due by `now`, earliest first, taken off the list; the
  // caller checks each serial as it comes to it (an earlier callback may
  // have stopped a later sound).
  std::vector<Pending> TakeDue(double now);
  uint64_t NextLoadedKey() { return ++loadedKeys_; }

  void MarkRoots(avm1::Marker& marker) const override;

 private:
  static uint64_t KeyOf(ObjectHandle clip) { return (uint64_t{clip.index} << 32) | clip.generation; }
  std::map<uint64_t, SoundLevels> levels_;
  std::map<uint64_t, uint32_t> groups_;
  SoundLevels master_;
  std::vector<ScriptSoundRequest> requests_;
  std::vector<Pending> pending_;
  uint64_t loadedKeys_ = 0;
};

}  // namespace swf
