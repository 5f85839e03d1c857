// libFuzzer target for the WAVE reader: any bytes are refused with one of
// the user's messages or read into a format the players have, whose data
// and loop lie in the bytes; the buffer stream then plays it through a few
// fills, at a step that crosses the loop many times (5000 frames at 64 cover
// 320 000, far more than the longest input holds).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "dsp/sample_voice.h"
#include "dsp/sinc_interpolation.h"
#include "dsp/wave_stream.h"
#include "formats/wave/wave_reader.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kr::wave::WaveReadResult read = kr::wave::ReadWave(std::span<const std::uint8_t>(data, size));
  if (!read.info) {
    if (read.message.empty()) __builtin_trap();
    return 0;
  }
  const kr::wave::WaveInfo& info = *read.info;
  if (info.channels < 1 || info.channels > 2) __builtin_trap();
  if (info.dataOffset + info.frames * info.FrameBytes() > size) __builtin_trap();
  if (info.hasLoop && !(info.loopStart < info.loopEnd && info.loopEnd <= info.frames)) __builtin_trap();
  static kr::dsp::ULookup table(kr::dsp::ULookup::kInterpolatedSize);
  static const bool filled = (kr::dsp::sinc::Fill(table), true);
  (void)filled;
  kr::dsp::wave_stream::Source s;
  s.data = data + info.dataOffset;
  s.frames = info.frames;
  s.channels = info.channels;
  s.bits = info.bits;
  s.hasLoop = info.hasLoop;
  s.loopStart = info.loopStart;
  s.loopEnd = info.loopEnd;
  auto st = std::make_unique<kr::dsp::wave_stream::State>();
  st->inc = kr::dsp::sample_voice::Increment(size % 7 == 0 ? 64.0 : 1.37, kr::dsp::wave_stream::kMaxStep);
  kr::dsp::wave_stream::Restart(*st, s, true);
  float l = 0.0f, r = 0.0f;
  for (int i = 0; i < 5000 && kr::dsp::wave_stream::Next(*st, s, i < 3750, table.Data(), l, r); ++i) {
    if (st->pos < 3 || st->pos + 4 >= st->filled) __builtin_trap();
  }
  return 0;
}
