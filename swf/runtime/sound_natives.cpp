// The Sound class: a script's handle on the sounds of one clip (or, made
// without one, of the whole movie). The clip is named as a script named it
// and looked up again on every call, so a Sound whose clip was renamed or
// removed does nothing until the name finds a clip again; the volume and
// levels belong to the clip, shared by every Sound of it.
#include <algorithm>
#include <cmath>
#include <limits>

#include "swf/runtime/runtime.h"
#include "swf/runtime/script_natives.h"
#include "swf/sound/mp3_frame.h"

namespace swf::natives {
namespace {

using avm1::NativeCall;
using avm1::ObjectRef;
using avm1::Value;
using avm1::ValueKind;

struct SoundPayload : avm1::Payload {
  bool global = true;
  Value target;  // a clip reference or a path, when not global

  // The sound attached (an export of the root's movie) or loaded.
  uint16_t soundId = 0;
  std::shared_ptr<const std::vector<uint8_t>> loadedMp3;
  uint64_t loadedKey = 0;
  std::string loadedUrl;
  double durationMs = -1;  // none attached

  // Moves on whenever the sound is stopped or replaced: the completions
  // still pending for the older sound are not told.
  uint64_t serial = 0;
  int playing = 0;          // instances started and not yet complete
  double startedAt = 0;     // clock of the latest start, less its offset
  double stoppedAt = 0;     // the position kept when none plays

  bool HasSound() const { return durationMs >= 0; }
};

SoundPayload* PayloadOf(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return nullptr;
  avm1::Object* object = call.vm.Get(call.self.AsObject());
  return object != nullptr ? object->PayloadAs<SoundPayload>() : nullptr;
}

// What a Sound acts on now: the movie as a whole, a live clip, or nothing.
struct SoundTarget {
  ScriptBridge* bridge = nullptr;
  SoundPayload* sound = nullptr;
  ObjectHandle clip;
  bool global = false;

  explicit SoundTarget(NativeCall& call) {
    bridge = BridgeOf(call.vm);
    sound = PayloadOf(call);
    if (bridge == nullptr || sound == nullptr) return;
    if (sound->global) {
      global = true;
      return;
    }
    if (sound->target.Is(ValueKind::kString)) {
      clip = bridge->HandleOfPath(sound->target.AsString());
    } else {
      clip = bridge->HandleOfValue(sound->target);
    }
    const DisplayObject* object = bridge->GetRuntime().Objects().Get(clip);
    if (object == nullptr || object->kind != ObjectKind::kMovieClip) clip = {};
  }
  bool Live() const { return global || bridge->GetRuntime().Objects().Get(clip) != nullptr; }
  Runtime& GetRuntime() const { return bridge->GetRuntime(); }
  ScriptSounds& Sounds() const { return GetRuntime().Sounds(); }
  SoundLevels Levels() const { return global ? Sounds().MasterLevels() : Sounds().LevelsOf(clip); }
  void SetLevels(const SoundLevels& levels) const {
    if (global) {
      Sounds().SetMasterLevels(levels);
    } else {
      Sounds().SetLevels(clip, levels);
    }
  }
  uint32_t Group() const { return global ? 0 : Sounds().GroupOf(clip); }
};

// A whole percentage as setVolume and setPan take it: out of range and NaN
// become the smallest integer, as the player's own conversion does.
int32_t Percent(NativeCall& call, const Value& value) {
  const double number = call.vm.ToNumber(value);
  if (!std::isfinite(number) || number <= -2147483649.0 || number >= 2147483648.0) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(number);
}

Value Construct(NativeCall& call) {
  if (!call.self.Is(ValueKind::kObject)) return {};
  auto payload = std::make_unique<SoundPayload>();
  const Value& target = call.Arg(0);
  if (!target.IsUndefinedOrNull()) {
    payload->global = false;
    // The path alone: a Sound finds its clip by name each time.
    ScriptBridge* bridge = BridgeOf(call.vm);
    if (target.Is(ValueKind::kClip)) {
      payload->target = Value::Clip(avm1::ClipReference{target.AsClip().target_path});
    } else if (bridge != nullptr && !bridge->HandleOfValue(target).IsNone()) {
      payload->target = Value::Clip(avm1::ClipReference{bridge->DotPath(bridge->HandleOfValue(target))});
    } else {
      payload->target = Value::String(call.vm.ToStringValue(target));  // may run its toString
    }
  }
  if (avm1::Object* object = call.vm.Get(call.self.AsObject())) {
    object->cls = avm1::ObjectClass::kOther;
    object->payload = std::move(payload);
  }
  return {};
}

Value GetVolume(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live()) return {};
  return Value::Number(target.Levels().volume);
}

Value SetVolume(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live()) return {};
  SoundLevels levels = target.Levels();
  levels.volume = call.args.empty() ? 0 : Percent(call, call.Arg(0));
  target.SetLevels(levels);
  return {};
}

Value GetPan(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live()) return {};
  return Value::Number(target.Levels().Pan());
}

Value SetPan(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || call.args.empty()) return {};
  const int64_t pan = Percent(call, call.Arg(0));
  SoundLevels levels = target.Levels();
  const auto wrap = [](int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value))); };
  levels.leftToLeft = pan > 0 ? wrap(100 - pan) : 100;
  levels.rightToRight = pan < 0 ? wrap(100 + pan) : 100;
  levels.leftToRight = 0;
  levels.rightToLeft = 0;
  target.SetLevels(levels);
  return {};
}

Value GetTransform(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live()) return {};
  const SoundLevels levels = target.Levels();
  avm1::Vm& vm = call.vm;
  const ObjectRef result = vm.NewObject();
  vm.SetMember(Value::Object(result), "ll", Value::Number(levels.leftToLeft));
  vm.SetMember(Value::Object(result), "lr", Value::Number(levels.rightToLeft));
  vm.SetMember(Value::Object(result), "rr", Value::Number(levels.rightToRight));
  vm.SetMember(Value::Object(result), "rl", Value::Number(levels.leftToRight));
  return Value::Object(result);
}

Value SetTransform(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || !call.Arg(0).Is(ValueKind::kObject)) return {};
  avm1::Vm& vm = call.vm;
  const Value& from = call.Arg(0);
  SoundLevels levels = target.Levels();
  const auto take = [&](const char* name, int32_t& level) {
    const Value value = vm.GetMember(from, name);
    if (!value.Is(ValueKind::kUndefined)) level = avm1::DoubleToInt32(vm.ToNumber(value));
  };
  take("ll", levels.leftToLeft);
  take("lr", levels.rightToLeft);
  take("rr", levels.rightToRight);
  take("rl", levels.leftToRight);
  target.SetLevels(levels);
  return {};
}

// Samples a channel in an MP3 file, counted from its frame headers (an ID3
// tag in front is passed over), and the rate of its first frame.
std::pair<uint64_t, int> Mp3Length(std::span<const uint8_t> bytes) {
  size_t at = 0;
  if (bytes.size() >= 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
    const size_t tag = (size_t{bytes[6] & 0x7Fu} << 21) | (size_t{bytes[7] & 0x7Fu} << 14) |
                       (size_t{bytes[8] & 0x7Fu} << 7) | size_t{bytes[9] & 0x7Fu};
    at = 10 + tag + ((bytes[5] & 0x10) != 0 ? 10 : 0);
  }
  uint64_t samples = 0;
  int rate = 0;
  while (at + 4 <= bytes.size()) {
    const std::optional<Mp3FrameHeader> header = ReadMp3FrameHeader(bytes.subspan(at));
    if (!header || header->length <= 0) {
      ++at;  // junk between frames
      continue;
    }
    if (rate == 0) rate = header->sampleRate;
    samples += static_cast<uint64_t>(header->samplesPerFrame);
    at += static_cast<size_t>(header->length);
  }
  return {samples, rate};
}

void ForgetSound(SoundPayload& sound) {
  ++sound.serial;
  sound.playing = 0;
  sound.stoppedAt = 0;
}

Value AttachSound(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || call.args.empty()) return {};
  const Runtime& runtime = target.GetRuntime();
  const uint16_t id = runtime.ExportedCharacter(call.vm.ToStringValue(call.Arg(0)));
  const auto found = runtime.Movie().sounds.find(id);
  if (id == 0 || found == runtime.Movie().sounds.end()) return {};
  SoundPayload& sound = *target.sound;
  ForgetSound(sound);
  sound.soundId = id;
  sound.loadedMp3.reset();
  const double rate = SoundRateHz(found->second.rate);
  sound.durationMs = rate > 0 ? std::round(found->second.sampleCount * 1000.0 / rate) : 0;
  return {};
}

double Now(const SoundTarget& target) { return target.GetRuntime().ElapsedMilliseconds(); }

Value Start(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || !target.sound->HasSound()) return {};
  double offset = call.args.empty() ? 0 : call.vm.ToNumber(call.Arg(0));
  if (!std::isfinite(offset) || offset < 0) offset = 0;
  const double loopsNumber = call.args.size() < 2 ? 1 : call.vm.ToNumber(call.Arg(1));
  const uint32_t loops = std::isfinite(loopsNumber) && loopsNumber >= 1 ? static_cast<uint32_t>(std::min(loopsNumber, 65535.0)) : 1;
  SoundPayload& sound = *target.sound;
  const double offsetMs = std::clamp(offset * 1000.0, 0.0, sound.durationMs);
  ScriptSoundRequest request;
  request.kind = ScriptSoundRequest::Kind::kStart;
  request.soundId = sound.soundId;
  request.loadedMp3 = sound.loadedMp3;
  request.loadedKey = sound.loadedKey;
  request.group = target.Group();
  request.inPoint44 = static_cast<uint32_t>(offsetMs * 44.1);
  request.loops = loops;
  target.Sounds().Request(std::move(request));
  const double now = Now(target);
  ++sound.playing;
  sound.startedAt = now - offsetMs;
  ScriptSounds::Pending done;
  done.object = call.self.AsObject();
  done.due = now + sound.durationMs * loops - offsetMs;
  done.serial = sound.serial;
  target.Sounds().Schedule(done);
  return {};
}

double PositionOf(const SoundPayload& sound, double now) {
  if (sound.playing <= 0 || sound.durationMs <= 0) return sound.stoppedAt;
  return std::fmod(std::max(0.0, now - sound.startedAt), sound.durationMs);
}

Value Stop(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live()) return {};
  ScriptSoundRequest request;
  if (!call.args.empty()) {
    const Runtime& runtime = target.GetRuntime();
    const uint16_t id = runtime.ExportedCharacter(call.vm.ToStringValue(call.Arg(0)));
    if (id == 0 || runtime.Movie().sounds.count(id) == 0) return {};
    request.kind = ScriptSoundRequest::Kind::kStopSound;
    request.soundId = id;
  } else if (target.global) {
    request.kind = ScriptSoundRequest::Kind::kStopAll;
  } else {
    request.kind = ScriptSoundRequest::Kind::kStopGroup;
    request.group = target.Group();
  }
  target.Sounds().Request(std::move(request));
  SoundPayload& sound = *target.sound;
  const double position = PositionOf(sound, Now(target));
  ++sound.serial;
  sound.playing = 0;
  sound.stoppedAt = position;
  return {};
}

Value GetDuration(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || !target.sound->HasSound()) return {};
  return Value::Number(target.sound->durationMs);
}

Value GetPosition(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || !target.sound->HasSound()) return {};
  return Value::Number(std::floor(PositionOf(*target.sound, Now(target))));
}

// loadSound(url, streaming): a local MP3, read through the host; onLoad
// follows at the next step of the clock, and a streaming sound starts then.
Value LoadSound(NativeCall& call) {
  SoundTarget target(call);
  if (target.sound == nullptr || !target.Live() || call.args.empty()) return {};
  SoundPayload& sound = *target.sound;
  ForgetSound(sound);
  const std::string url = call.vm.ToStringValue(call.Arg(0));
  HostServices* host = target.GetRuntime().Context().Host();
  std::optional<std::vector<uint8_t>> bytes;
  if (host != nullptr && !url.empty()) bytes = host->LoadFile(url);
  ScriptSounds::Pending loaded;
  loaded.object = call.self.AsObject();
  loaded.due = Now(target);
  loaded.complete = false;
  sound.soundId = 0;
  sound.loadedMp3.reset();
  sound.durationMs = -1;
  if (bytes) {
    const auto [samples, rate] = Mp3Length(*bytes);
    sound.loadedMp3 = std::make_shared<const std::vector<uint8_t>>(std::move(*bytes));
    sound.loadedKey = target.Sounds().NextLoadedKey();
    sound.loadedUrl = url;
    sound.durationMs = rate > 0 ? std::round(static_cast<double>(samples) * 1000.0 / rate) : 0;
  }
  loaded.success = sound.HasSound();
  loaded.serial = sound.serial;
  target.Sounds().Schedule(loaded);
  if (loaded.success && call.vm.ToBoolean(call.Arg(1))) Start(call);
  return {};
}

Value GetBytesLoaded(NativeCall& call) {
  SoundPayload* sound = PayloadOf(call);
  if (sound == nullptr || !sound->loadedMp3) return {};
  return Value::Number(static_cast<double>(sound->loadedMp3->size()));
}

constexpr avm1::NativeMember kMembers[] = {
    {"getVolume", GetVolume},     {"setVolume", SetVolume},     {"getPan", GetPan},
    {"setPan", SetPan},           {"getTransform", GetTransform}, {"setTransform", SetTransform},
    {"attachSound", AttachSound}, {"start", Start},             {"stop", Stop},
    {"getDuration", GetDuration}, {"getPosition", GetPosition}, {"loadSound", LoadSound},
    {"getBytesLoaded", GetBytesLoaded}, {"getBytesTotal", GetBytesLoaded},
};

Value CallSound(NativeCall&) { return {}; }

}  // namespace

void InstallSound(avm1::Vm& vm) {
  const ObjectRef prototype = vm.NewObject();
  vm.DefineMembers(prototype, kMembers);
  // duration and position read like properties, through the same getters.
  const auto accessor = [&](const char* name, avm1::NativeFunction getter) {
    avm1::Object* object = vm.Get(prototype);
    avm1::Property& property = object->properties.Set(name, vm.IgnoreCase());
    property.getter = vm.NewFunction(getter);
    property.flags = avm1::property_flags::kDontEnum | avm1::property_flags::kDontDelete;
  };
  accessor("duration", GetDuration);
  accessor("position", GetPosition);
  vm.DefineValue(vm.Classes().global, "Sound", Value::Object(vm.NewClass(CallSound, Construct, prototype)));
}

void RunDueSoundEvents(Runtime& runtime) {
  ScriptSounds& sounds = runtime.Sounds();
  if (!sounds.HasPending()) return;
  avm1::Vm& vm = runtime.Scripts();
  for (const ScriptSounds::Pending& pending : sounds.TakeDue(runtime.ElapsedMilliseconds())) {
    avm1::Object* object = vm.Get(pending.object);
    SoundPayload* sound = object != nullptr ? object->PayloadAs<SoundPayload>() : nullptr;
    if (sound == nullptr || sound->serial != pending.serial) continue;
    const Value self = Value::Object(pending.object);
    if (pending.complete) {
      sound->playing = std::max(0, sound->playing - 1);
      if (sound->playing == 0) sound->stoppedAt = sound->durationMs;
      vm.CallMethod(self, "onSoundComplete", {});
    } else {
      const Value success = Value::Boolean(pending.success);
      vm.CallMethod(self, "onLoad", std::span(&success, 1));
    }
  }
}

}  // namespace swf::natives
