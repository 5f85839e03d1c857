// WAVE files as a module plays them: PCM 8 and 16 bits and 32-bit float,
// mono or stereo, with the first loop of a "smpl" chunk. Every other kind
// is refused with the message a user is shown.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kr::wave {

inline constexpr std::uint16_t kFormatPcm = 1;
inline constexpr std::uint16_t kFormatFloat = 3;
inline constexpr std::uint16_t kFormatExtensible = 0xFFFE;

// The messages, as the user reads them.
inline constexpr const char* kMultichannelMessage = "Multichannel WAVE file format is not supported";
inline constexpr const char* kWidthMessage =
    "This WAVE file format is not supported.  Convert it to 16 bit uncompressed mono or stereo.";
inline constexpr const char* kTagMessage = "This WAVE file format is not supported.  Convert it to PCM or Float.";
inline constexpr const char* kInvalidMessage = "This is not a valid WAVE file format";

struct WaveInfo {
  std::uint16_t formatTag = kFormatPcm;  // kFormatPcm or kFormatFloat (an extensible file's sub-format)
  std::uint16_t channels = 1;            // 1 or 2
  std::uint16_t bits = 16;               // 8 or 16 (PCM), 32 (float)
  std::uint32_t sampleRate = 44100;
  std::size_t dataOffset = 0;  // of the samples, in the bytes read
  std::size_t frames = 0;      // whole frames in the "data" chunk
  // The first "smpl" loop in frames, end exclusive. The file stores the
  // last frame of the loop (it is played), so loopEnd is that plus one.
  bool hasLoop = false;
  std::size_t loopStart = 0;
  std::size_t loopEnd = 0;

  std::size_t FrameBytes() const { return static_cast<std::size_t>(channels) * (bits / 8u); }
};

struct WaveReadResult {
  std::optional<WaveInfo> info;
  std::string message;  // one of the messages above when info is empty
  std::string detail;   // what exactly was wrong, for logs and tests
};

WaveReadResult ReadWave(std::span<const std::uint8_t> bytes);

}  // namespace kr::wave
