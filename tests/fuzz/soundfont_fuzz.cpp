// libFuzzer target for the RIFF and SoundFont readers: any bytes are refused
// with a reason or read into zones whose every playable address lies in the
// sample data; a voice then reads a few hundred samples of each zone without
// leaving the data and its guard samples.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

#include "dsp/sample_voice.h"
#include "dsp/sinc_interpolation.h"
#include "formats/soundfont/soundfont.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const kr::sf2::ReadResult read = kr::sf2::ReadSoundFont(std::span<const std::uint8_t>(data, size));
  if (!read.font) {
    if (read.error.empty()) __builtin_trap();
    return 0;
  }
  static kr::dsp::ULookup table(kr::dsp::ULookup::kInterpolatedSize);
  static const bool filled = (kr::dsp::sinc::Fill(table), true);
  (void)filled;
  const kr::sf2::SoundFont& font = *read.font;
  const auto count = static_cast<std::int64_t>(font.SampleCount());
  int zones = 0;
  for (const kr::sf2::Preset& preset : font.Presets()) {
    for (const kr::sf2::Zone& zone : preset.zones) {
      const kr::sf2::ZonePlayback& p = zone.playback;
      if (!p.playable) continue;
      if (p.start < 0 || p.end > count || p.start >= p.end) __builtin_trap();
      if (p.loopMode != 0 && !(p.start <= p.loopStart && p.loopStart < p.loopEnd && p.loopEnd <= p.end)) __builtin_trap();
      if (p.stereo && (p.start + p.secondOffset < 0 || p.end + p.secondOffset > count)) __builtin_trap();
      if (++zones > 64) return 0;
      kr::dsp::sample_voice::State v;
      v.samples = font.Samples();
      v.end = p.end;
      v.loopStart = p.loopStart;
      v.loopEnd = p.loopEnd;
      v.loopMode = p.loopMode;
      v.stereo = p.stereo;
      v.secondOffset = p.secondOffset;
      v.inc = kr::dsp::sample_voice::Increment(std::exp2((p.tuneSemitones + 40.0) / 12.0), kr::sf2::kMaxStep);
      kr::dsp::sample_voice::Start(v, p.start);
      for (int i = 0; i < 300 && kr::dsp::sample_voice::Advance(v, i < 200); ++i) {
        if (v.pos < p.start || v.pos >= p.end) __builtin_trap();
        volatile float x = kr::dsp::sample_voice::ReadFirst(v, table.Data());
        if (v.stereo) x = kr::dsp::sample_voice::ReadSecond(v, table.Data());
        (void)x;
      }
    }
  }
  return 0;
}
