#include "modules/soundfont/zone_voice.h"

#include <algorithm>
#include <cmath>

namespace kr {

namespace soundfont {

bool ZoneVoice::Start(const kr::sf2::SoundFont& font, const kr::sf2::Zone& source, int key, double engineRate) {
  zone = source;
  const kr::sf2::ZonePlayback& p = zone.playback;
  if (!p.playable) return false;
  semitones = (key - p.rootKey) + p.tuneSemitones;
  rateRatio = static_cast<double>(p.sampleRate) / engineRate;
  reader = {};
  reader.samples = font.Samples();
  reader.end = p.end;
  reader.loopStart = p.loopStart;
  reader.loopEnd = p.loopEnd;
  reader.loopMode = p.loopMode;
  reader.stereo = p.stereo;
  reader.secondOffset = p.secondOffset;
  reader.inc = IncrementFor(0.0);
  kr::dsp::sample_voice::Start(reader, p.start);
  return true;
}

std::uint32_t ZoneVoice::IncrementFor(double extraSemitones) const {
  const double s = std::clamp(semitones + extraSemitones, -1200.0, 1200.0);
  return kr::dsp::sample_voice::Increment(std::exp2(s / 12.0) * rateRatio, kr::sf2::kMaxStep);
}

}  // namespace soundfont

}  // namespace kr
