// Writes a RIFF WAVE file as audio arrives: 16-bit or 24-bit PCM (clipped to
// full scale, with a count of clipped samples) or 32-bit float. Sizes in the
// header are filled in by Finish, so the stream must be seekable.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "host/audio_sink.h"

namespace kr {

enum class WaveFormat { Pcm16, Pcm24, Float32 };

class WaveWriter : public AudioSink {
 public:
  WaveWriter(std::ostream& out, WaveFormat format, int channels, int sampleRate);

  bool Write(std::span<const float* const> channels, int frames) override;
  // Writes the sizes into the header; the file is complete afterwards.
  bool Finish();

  std::int64_t ClippedSamples() const { return clipped_; }
  std::int64_t FramesWritten() const { return frames_; }
  const std::string& Error() const { return error_; }

  static int BytesPerSample(WaveFormat format);

 private:
  static constexpr std::size_t kFlushBytes = 1 << 16;
  void WriteHeader();
  bool Flush();  // writes the buffered samples
  std::uint32_t HeaderBytes() const;

  std::ostream& out_;
  WaveFormat format_;
  int channels_;
  int sampleRate_;
  std::int64_t frames_ = 0;
  std::uint64_t dataBytes_ = 0;
  std::int64_t clipped_ = 0;
  std::string error_;
  std::vector<std::uint8_t> buffer_;  // converted samples not yet written
};

}  // namespace kr
