#include "swf/movie_audio.h"

#include <algorithm>

#include "swf/sound/sound_decoder.h"

namespace swf {
namespace {

// Sounds loaded by scripts are keyed apart from the movies' own.
constexpr uint64_t kLoadedSoundKeys = uint64_t{1} << 48;

uint64_t StreamKey(ObjectHandle clip) { return uint64_t{clip.index} << 32 | clip.generation; }

ObjectHandle ClipOfStream(uint64_t key) {
  return ObjectHandle{static_cast<uint32_t>(key >> 32), static_cast<uint32_t>(key & 0xFFFFFFFFu)};
}

SoundEncoding EncodingOf(const SoundDefinition& sound) {
  return {sound.format, static_cast<int>(SoundRateHz(sound.rate)), sound.is16Bit, sound.stereo};
}

SoundEncoding EncodingOf(const SoundStreamHead& head) {
  return {head.format, static_cast<int>(SoundRateHz(head.rate)), head.is16Bit, head.stereo};
}

EventPlayback PlaybackOf(const SoundInfo& info, uint32_t group) {
  EventPlayback playback;
  playback.inPoint44 = info.inPoint.value_or(0);
  playback.outPoint44 = info.outPoint;
  playback.loops = info.loopCount.value_or(1);
  for (const SoundEnvelopePoint& point : info.envelope) {
    playback.envelope.push_back({point.position44, point.leftLevel, point.rightLevel});
  }
  playback.group = group;
  return playback;
}

// A timeline's stream blocks from one frame on, a frame at a time. A frame
// without a block is a frame's worth of silence, so that the stream keeps
// time with the frames to the timeline's end.
class TimelineStream : public StreamSource {
 public:
  TimelineStream(const TimelineDefinition& timeline, size_t firstFrame, std::unique_ptr<Mp3Decoder> mp3,
                 double frameRate)
      : timeline_(timeline),
        next_(firstFrame),
        decoder_(EncodingOf(*timeline.streamHead), std::move(mp3)),
        frameRate_(frameRate),
        rate_(static_cast<int>(SoundRateHz(timeline.streamHead->rate))),
        channels_(timeline.streamHead->stereo && (timeline.streamHead->format < 4 || timeline.streamHead->format > 6) ? 2 : 1) {}

  std::optional<PcmSound> NextBlock() override {
    if (next_ >= timeline_.frames.size()) return std::nullopt;
    const Frame& frame = timeline_.frames[next_++];
    PcmSound out;
    out.sampleRate = rate_;
    out.channels = channels_;
    bool first = true;
    for (const std::span<const uint8_t> block : frame.streamBlocks) {
      PcmSound part = decoder_.DecodeBlock(block);
      if (part.samples.empty()) continue;
      if (first) {
        // The decoder knows the rate of MP3 blocks better than the head.
        rate_ = out.sampleRate = part.sampleRate;
        channels_ = out.channels = part.channels;
        first = false;
      }
      if (part.sampleRate == out.sampleRate && part.channels == out.channels) {
        out.samples.insert(out.samples.end(), part.samples.begin(), part.samples.end());
      }
    }
    if (out.samples.empty()) {
      const size_t frames = static_cast<size_t>(rate_ / std::max(frameRate_, 1.0));
      out.samples.assign(frames * static_cast<size_t>(channels_), 0);
    }
    return out;
  }

 private:
  const TimelineDefinition& timeline_;
  size_t next_;
  StreamSoundDecoder decoder_;
  double frameRate_;
  int rate_;
  int channels_;
};

// An MP3 block starts with its sample count and the samples to skip when
// playback starts at it.
size_t SeekSamplesOf(const TimelineDefinition& timeline, size_t frame) {
  if (timeline.streamHead->format != sound_format::kMp3) return 0;
  for (const std::span<const uint8_t> block : timeline.frames[frame].streamBlocks) {
    if (block.size() >= 4) return static_cast<size_t>(std::max(0, static_cast<int>(static_cast<int16_t>(block[2] | block[3] << 8))));
  }
  return 0;
}

}  // namespace

MovieAudio::MovieAudio(const ParsedMovie& movie, HostServices* host, double frameRate)
    : root_(movie), host_(host), frameRate_(frameRate > 0 ? frameRate : 12.0) {}

void MovieAudio::EnterFrames(std::span<const SoundFrame> frames, const Stage& stage) {
  for (const SoundFrame& frame : frames) {
    if (stage.Get(frame.clip) != nullptr) EnterFrame(frame);
  }
  std::vector<uint64_t> quiet;
  for (const auto& [key, start] : streamStarts_) {
    const DisplayObject* clip = stage.Get(ClipOfStream(key));
    if (clip == nullptr || !clip->timeline || !clip->timeline->playing) quiet.push_back(key);
  }
  std::lock_guard lock(mutex_);
  for (const uint64_t key : quiet) {
    mixer_.StopStream(key);
    streamStarts_.erase(key);
  }
}

void MovieAudio::EnterFrame(const SoundFrame& frame) {
  const Frame& tags = frame.timeline->frames[frame.frame];
  const ParsedMovie& movie = frame.movie != nullptr ? *frame.movie : root_;
  for (const StartSound& start : tags.sounds) {
    uint16_t id = start.soundId;
    if (id == 0) {
      const auto named = std::find_if(movie.exports.begin(), movie.exports.end(),
                                      [&](const AssetName& asset) { return asset.name == start.className; });
      if (named == movie.exports.end()) continue;
      id = named->characterId;
    }
    StartEventSound(&movie, id, start.info);
  }
  if (tags.streamBlocks.empty() || !frame.timeline->streamHead) return;
  const std::optional<size_t> reached = StreamFrame(frame.clip);
  if (reached && frame.frame + 1 >= *reached && frame.frame <= *reached + 1) return;  // in step
  StartStream(frame);
}

void MovieAudio::StartStream(const SoundFrame& frame) {
  auto source = std::make_unique<TimelineStream>(*frame.timeline, frame.frame,
                                                 host_ != nullptr ? host_->CreateMp3Decoder() : nullptr, frameRate_);
  const uint64_t key = StreamKey(frame.clip);
  std::lock_guard lock(mutex_);
  if (mixer_.StartStream(key, std::move(source), SeekSamplesOf(*frame.timeline, frame.frame))) {
    streamStarts_[key] = {frame.frame};
  } else {
    streamStarts_.erase(key);
  }
}

void MovieAudio::StartEventSound(const ParsedMovie* movie, uint16_t soundId, const SoundInfo& info, uint32_t group) {
  const ParsedMovie& owner = movie != nullptr ? *movie : root_;
  if (owner.sounds.find(soundId) == owner.sounds.end()) return;
  const uint64_t key = EventKey(owner, soundId);
  {
    std::lock_guard lock(mutex_);
    if (info.syncStop) {
      mixer_.StopEvent(key);
      return;
    }
    if (info.syncNoMultiple && mixer_.IsPlaying(key)) return;
  }
  std::shared_ptr<const PcmSound> sound = Decoded(owner, soundId);  // outside the lock: it may take a while
  std::lock_guard lock(mutex_);
  mixer_.StartEvent(key, std::move(sound), PlaybackOf(info, group));
}

void MovieAudio::RunScriptRequests(std::span<const ScriptSoundRequest> requests) {
  using Kind = ScriptSoundRequest::Kind;
  for (const ScriptSoundRequest& request : requests) {
    const uint64_t loadedKey = kLoadedSoundKeys | request.loadedKey;
    switch (request.kind) {
      case Kind::kStart: {
        SoundInfo info;
        info.inPoint = request.inPoint44;
        info.loopCount = static_cast<uint16_t>(std::min<uint32_t>(request.loops, 65535));
        if (!request.loadedMp3) {
          StartEventSound(request.movie, request.soundId, info, request.group);
          break;
        }
        std::shared_ptr<const PcmSound> sound = DecodedMp3(loadedKey, *request.loadedMp3);
        EventPlayback playback = PlaybackOf(info, request.group);
        std::lock_guard lock(mutex_);
        mixer_.StartEvent(loadedKey, std::move(sound), playback);
        break;
      }
      case Kind::kStopSound: {
        const ParsedMovie& owner = request.movie != nullptr ? *request.movie : root_;
        const uint64_t key = request.loadedMp3 ? loadedKey : EventKey(owner, request.soundId);
        std::lock_guard lock(mutex_);
        mixer_.StopEvent(key);
        break;
      }
      case Kind::kStopGroup: {
        std::lock_guard lock(mutex_);
        mixer_.StopGroup(request.group);
        break;
      }
      case Kind::kStopAll:
        StopAllSounds();
        break;
      case Kind::kGroupTransform:
        SetGroupTransform(request.group, request.transform);
        break;
      case Kind::kMasterTransform:
        SetMasterTransform(request.transform);
        break;
    }
  }
}

std::shared_ptr<const PcmSound> MovieAudio::DecodedMp3(uint64_t key, const std::vector<uint8_t>& bytes) {
  const auto found = decodedLoaded_.find(key);
  if (found != decodedLoaded_.end()) return found->second;
  auto sound = std::make_shared<PcmSound>();
  if (std::unique_ptr<Mp3Decoder> decoder = host_ != nullptr ? host_->CreateMp3Decoder() : nullptr) {
    std::vector<PcmSound> parts;
    decoder->Feed(bytes, parts);
    for (PcmSound& part : parts) {
      if (sound->sampleRate == 0) {
        sound->sampleRate = part.sampleRate;
        sound->channels = part.channels;
      }
      if (part.sampleRate != sound->sampleRate || part.channels != sound->channels) continue;
      if (sound->samples.size() + part.samples.size() > kMaxDecodedSamples) break;
      sound->samples.insert(sound->samples.end(), part.samples.begin(), part.samples.end());
    }
  }
  decodedLoaded_.emplace(key, sound);
  return sound;
}

void MovieAudio::StopAllSounds() {
  std::lock_guard lock(mutex_);
  mixer_.StopAll();
  streamStarts_.clear();
}

void MovieAudio::SetGroupTransform(uint32_t group, const SoundTransform& transform) {
  std::lock_guard lock(mutex_);
  mixer_.SetGroupTransform(group, transform);
}

void MovieAudio::SetMasterTransform(const SoundTransform& transform) {
  std::lock_guard lock(mutex_);
  master_ = transform;
  ApplyMaster();
}

void MovieAudio::SetMuted(bool muted) {
  std::lock_guard lock(mutex_);
  muted_ = muted;
  ApplyMaster();
}

void MovieAudio::ApplyMaster() {
  SoundTransform master = master_;
  if (muted_) master.volume = 0;
  mixer_.SetMasterTransform(master);
}

std::optional<size_t> MovieAudio::StreamFrame(ObjectHandle clip) const {
  std::lock_guard lock(mutex_);
  return StreamFrameLocked(clip);
}

std::optional<size_t> MovieAudio::StreamFrameLocked(ObjectHandle clip) const {
  const uint64_t key = StreamKey(clip);
  const auto start = streamStarts_.find(key);
  if (start == streamStarts_.end()) return std::nullopt;
  const std::optional<uint64_t> played = mixer_.StreamPosition(key);
  if (!played) return std::nullopt;
  // A pull that ends a whole number of frames in may fall a sample short of
  // it: a hundredth of a frame counts as there.
  const uint64_t heard = *played - std::min(*played, latencySamples_);
  const double frames = static_cast<double>(heard) * frameRate_ / Mixer::kOutputRate;
  return start->second.frame + static_cast<size_t>(frames + 0.01);
}

void MovieAudio::SetOutputLatency(double seconds) {
  latencySamples_ = seconds > 0 ? static_cast<uint64_t>(seconds * Mixer::kOutputRate) : 0;
}

void MovieAudio::Pull(std::span<int16_t> interleavedStereo) {
  std::lock_guard lock(mutex_);
  mixer_.Mix(interleavedStereo);
}

std::shared_ptr<const PcmSound> MovieAudio::Decoded(const ParsedMovie& movie, uint16_t soundId) {
  const auto key = std::make_pair(&movie, soundId);
  const auto found = decoded_.find(key);
  if (found != decoded_.end()) return found->second;
  const SoundDefinition& definition = movie.sounds.at(soundId);
  std::unique_ptr<Mp3Decoder> mp3;
  if (definition.format == sound_format::kMp3 && host_ != nullptr) mp3 = host_->CreateMp3Decoder();
  auto sound = std::make_shared<const PcmSound>(DecodeEventSound(EncodingOf(definition), definition.data, mp3.get()));
  decoded_.emplace(key, sound);
  return sound;
}

uint64_t MovieAudio::EventKey(const ParsedMovie& movie, uint16_t soundId) {
  auto found = std::find(movies_.begin(), movies_.end(), &movie);
  if (found == movies_.end()) found = movies_.insert(movies_.end(), &movie);
  return static_cast<uint64_t>(found - movies_.begin()) << 16 | soundId;
}

}  // namespace swf
