#pragma once

#include <cstddef>
#include <cstdint>
#include <atomic>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "swf/host_services.h"
#include "swf/input_event.h"
#include "swf/movie_audio.h"
#include "swf/parse/movie.h"
#include "swf/render/render_target.h"
#include "swf/render/renderer.h"
#include "swf/runtime/button_input.h"
#include "swf/runtime/runtime.h"

namespace swf {

// A loaded movie and its playback state: what the player control, the
// thumbnails and the stub drive. Frame numbers here are 0-based.
class Player {
 public:
  // Parses the movie and shows its first frame; throws ParseError when the
  // bytes are not a movie. The movie talks to `host` (not owned, outliving
  // the player) from its first frame on; without one, nobody listens.
  explicit Player(std::span<const uint8_t> file, HostServices* host = nullptr);
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  double StageWidth() const;   // pixels
  double StageHeight() const;  // pixels
  const Rect& StageRect() const { return movie_.header.frameSize; }
  double FrameRate() const { return movie_.header.frameRate; }
  // Seconds between two ticks; movies with rate 0 tick at a small fixed rate.
  double FrameInterval() const;
  // Frames of the root timeline as the tag stream holds them.
  size_t FrameCount() const { return runtime_.FrameCount(); }
  uint16_t DeclaredFrameCount() const { return movie_.header.frameCount; }
  uint8_t Version() const { return movie_.header.version; }

  // The movie's SetBackgroundColor (white without one), unless the host set
  // its own colour.
  Rgba BackgroundColor() const;
  void SetBackgroundOverride(std::optional<Rgba> color) { backgroundOverride_ = color; }

  // True when the movie carries ActionScript 3 code: its timeline and shapes
  // are shown, the code itself is not run.
  bool HasUnrunAs3Code() const { return movie_.hasAs3Code; }
  const std::vector<std::string>& Warnings() const { return movie_.warnings; }

  size_t CurrentFrame() const { return runtime_.CurrentFrame(); }
  bool IsPlaying() const { return runtime_.IsPlaying(); }
  void Play();
  void Stop();
  void GotoFrame(size_t frame);
  // Goes to the frame a FrameLabel names; false (and no change) if none does.
  bool GotoLabel(const std::string& label);
  // One tick of the clock: sprites advance; the root advances if playing and
  // loops from its last frame to the first. Buttons then answer the mouse
  // where it is now, as the picture under it may have changed.
  void Tick();

  // Moves the player's own clock on by `elapsedSeconds` and runs every frame
  // that falls due, one tick each; the first frame ran at time 0. A host that
  // fell far behind (a stalled window) does not get a burst of frames: at most
  // kMaxCatchUpFrames run, and the clock forgets the rest. While the root's
  // stream sound plays and the host pulls audio, the clock follows the
  // stream instead: frames run as its audio is played, and a host that is
  // late skips drawing, not sound. Returns the number of frames run.
  static constexpr size_t kMaxCatchUpFrames = 8;
  size_t Advance(double elapsedSeconds);
  // Moves the movie's clock on by `seconds` without running a frame: the
  // timers that fall due meanwhile run (a run that ends after its last
  // frame still gives that frame's time to the timers).
  void AdvanceClockOnly(double seconds) { runtime_.AdvanceClock(seconds * 1000.0); }
  // Seconds until the next frame falls due, for a host that sleeps between.
  double TimeToNextFrame() const;

  // A mouse, keyboard or text event from the host, between frames, mouse
  // positions in stage pixels. Buttons answer the left mouse button and key
  // presses, and their actions run before this returns; text events wait for
  // text fields.
  void HandleInput(const InputEvent& event);
  // The cursor the host should show over the picture: the hand over a button.
  CursorShape Cursor() const { return buttons_.Cursor(); }
  // Sounds that buttons asked for since the last call, oldest first, for the
  // sound output to start (StartSound).
  std::vector<SoundRequest> TakeSoundRequests() { return buttons_.TakeSoundRequests(); }

  // Sound output as the host's device pulls it: interleaved stereo 16-bit
  // samples at kAudioSampleRate, the mix of every sound playing. May be
  // called from the device's own thread.
  static constexpr int kAudioSampleRate = 44100;
  void PullAudio(std::span<int16_t> interleavedStereo);
  // Starts (or by its sync flags stops) a sound by its character id as
  // SOUNDINFO says, a button's or a script's: it plays from the next samples
  // pulled. `movie` owns the id (an imported button's); null: this movie.
  void StartSound(uint16_t soundId, const SoundInfo& info, const ParsedMovie* movie = nullptr) {
    audio_.StartEventSound(movie, soundId, info);
  }
  void StopAllSounds() { audio_.StopAllSounds(); }
  void SetMuted(bool muted) { audio_.SetMuted(muted); }
  // How long the device holds pulled samples before they are heard: the
  // frames follow a stream as it is heard, not as it is pulled.
  void SetOutputLatency(double seconds) { audio_.SetOutputLatency(seconds); }
  MovieAudio& Audio() { return audio_; }

  // Draws the current frame into the caller's picture, the stage scaled to
  // fit ("show all") and centred.
  void Render(const RenderTarget& target, Quality quality) const;
  // The same with an explicit stage-twips-to-pixels transform.
  void Render(const RenderTarget& target, Quality quality, const Matrix& view) const;

  const ParsedMovie& Movie() const { return movie_; }
  // The display objects, read-only: the root and its tree.
  const Stage& Objects() const { return runtime_.Objects(); }
  const DisplayObject& Root() const { return runtime_.RootObject(); }

 private:
  // The button (or clip acting as one) under a point of the stage, in
  // stage pixels.
  ObjectHandle ButtonUnder(Point stagePixels, bool withTextFields = false);
  // The events that reach scripts besides the buttons: clip events,
  // listeners, the keyboard's state, the drag.
  void RouteMouse(const InputEvent& event);
  void RouteKey(const InputEvent& event);
  // Hands the sounds of the frames just entered to the audio.
  void AfterStep();
  // HandleInput's work: the event to the buttons.
  void RouteInput(const InputEvent& event);

  ParsedMovie movie_;
  Runtime runtime_;
  ButtonInput buttons_{runtime_};
  // Where the mouse was last seen, in stage pixels; none once it left.
  std::optional<Point> mouse_;
  MovieAudio audio_;
  // Seconds of the player's clock since audio was last pulled: the stream
  // leads the frames only while a device is pulling.
  double sinceAudioPulled_ = 1e9;
  std::atomic<bool> audioPulled_ = false;
  std::optional<Rgba> backgroundOverride_;
  // Time since the last frame ran, in seconds; a frame runs when it reaches
  // FrameInterval().
  double sinceLastFrame_ = 0;
  // Drawing memory kept between frames; Render is const to callers, and a
  // player draws one frame at a time.
  mutable RenderScratch scratch_;
};

}  // namespace swf
