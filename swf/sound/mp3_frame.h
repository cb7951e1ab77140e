#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace swf {

// The 4-byte header in front of every MP3 (MPEG audio layer III) frame:
// enough to know a frame's length and format without decoding it.
struct Mp3FrameHeader {
  int sampleRate = 0;
  int channels = 0;
  int bitRate = 0;          // bits a second
  int length = 0;           // bytes, header included
  int samplesPerFrame = 0;  // a channel
};

// The header at the start of `bytes`; nothing when they do not start with
// a layer III header of a fixed bit rate.
std::optional<Mp3FrameHeader> ReadMp3FrameHeader(std::span<const uint8_t> bytes);

}  // namespace swf
