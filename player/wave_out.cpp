#include "player/wave_out.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace player {
namespace {

constexpr size_t kFramesPerBuffer = WaveOut::kSampleRate * WaveOut::kBufferMilliseconds / 1000;

struct EventCloser {
  void operator()(HANDLE event) const { CloseHandle(event); }
};
using UniqueEvent = std::unique_ptr<std::remove_pointer_t<HANDLE>, EventCloser>;

}  // namespace

// The open device, its buffers and the thread that refills them. Everything
// touching the device is done under `mutex_`.
class WaveOut::Device {
 public:
  explicit Device(Pull pull) : pull_(std::move(pull)), wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!wake_) return;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kSampleRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kSampleRate * 4;
    if (waveOutOpen(&handle_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(wake_.get()), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
      handle_ = nullptr;
      return;
    }
    for (Buffer& buffer : buffers_) {
      buffer.samples.resize(kFramesPerBuffer * 2);
      buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
      buffer.header.dwBufferLength = static_cast<DWORD>(buffer.samples.size() * sizeof(int16_t));
      waveOutPrepareHeader(handle_, &buffer.header, sizeof(WAVEHDR));
      buffer.header.dwFlags |= WHDR_DONE;  // free to fill
    }
    thread_ = std::thread([this] { Run(); });
  }

  ~Device() {
    if (handle_ == nullptr) return;
    {
      std::lock_guard lock(mutex_);
      quitting_ = true;
      playing_ = false;
      waveOutReset(handle_);
    }
    SetEvent(wake_.get());
    thread_.join();
    for (Buffer& buffer : buffers_) waveOutUnprepareHeader(handle_, &buffer.header, sizeof(WAVEHDR));
    waveOutClose(handle_);
  }

  bool HasDevice() const { return handle_ != nullptr; }

  bool Start() {
    if (handle_ == nullptr) return false;
    {
      std::lock_guard lock(mutex_);
      if (paused_) waveOutRestart(handle_);
      paused_ = false;
      playing_ = true;
    }
    SetEvent(wake_.get());
    return true;
  }

  void Pause() {
    if (handle_ == nullptr) return;
    std::lock_guard lock(mutex_);
    if (!playing_) return;
    waveOutPause(handle_);
    paused_ = true;
    playing_ = false;
  }

  void Stop() {
    if (handle_ == nullptr) return;
    std::lock_guard lock(mutex_);
    playing_ = false;
    if (paused_) waveOutRestart(handle_);
    paused_ = false;
    waveOutReset(handle_);  // every queued buffer comes back done
  }

  void SetMuted(bool muted) { muted_ = muted; }
  bool IsPlaying() const {
    std::lock_guard lock(mutex_);
    return playing_;
  }
  Counts Written() const {
    std::lock_guard lock(mutex_);
    return counts_;
  }

 private:
  struct Buffer {
    WAVEHDR header{};
    std::vector<int16_t> samples;
  };

  // Refills every buffer the device has handed back, until told to quit.
  void Run() {
    for (;;) {
      WaitForSingleObject(wake_.get(), 200);
      std::lock_guard lock(mutex_);
      if (quitting_) return;
      if (!playing_) continue;
      for (Buffer& buffer : buffers_) {
        if ((buffer.header.dwFlags & WHDR_DONE) == 0) continue;
        Fill(buffer);
        buffer.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        if (waveOutWrite(handle_, &buffer.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
          buffer.header.dwFlags |= WHDR_DONE;
          continue;
        }
        ++counts_.buffers;
        if (std::any_of(buffer.samples.begin(), buffer.samples.end(), [](int16_t s) { return s != 0; })) {
          ++counts_.audibleBuffers;
        }
      }
    }
  }

  void Fill(Buffer& buffer) {
    try {
      pull_(buffer.samples);
    } catch (...) {
      // A failing movie is silent; the output thread carries on.
      std::fill(buffer.samples.begin(), buffer.samples.end(), int16_t{0});
    }
    if (muted_) std::fill(buffer.samples.begin(), buffer.samples.end(), int16_t{0});
  }

  Pull pull_;
  UniqueEvent wake_;
  HWAVEOUT handle_ = nullptr;
  std::array<Buffer, kBuffers> buffers_;
  std::thread thread_;
  std::atomic<bool> muted_ = false;

  mutable std::mutex mutex_;  // guards what follows and the device's calls
  bool playing_ = false;
  bool paused_ = false;
  bool quitting_ = false;
  Counts counts_;
};

WaveOut::WaveOut(Pull pull) : device_(std::make_unique<Device>(std::move(pull))) {}
WaveOut::~WaveOut() = default;

bool WaveOut::Start() { return device_->Start(); }
void WaveOut::Pause() { device_->Pause(); }
void WaveOut::Stop() { device_->Stop(); }
void WaveOut::SetMuted(bool muted) { device_->SetMuted(muted); }
bool WaveOut::HasDevice() const { return device_->HasDevice(); }
bool WaveOut::IsPlaying() const { return device_->IsPlaying(); }
WaveOut::Counts WaveOut::Written() const { return device_->Written(); }

}  // namespace player
