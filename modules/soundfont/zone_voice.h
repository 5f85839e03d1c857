// One note of a SoundFont zone: the zone copied whole (a preset change
// never leaves a playing voice pointing at another preset's zones), its
// pitch, and the sample reader.
#pragma once

#include "dsp/sample_voice.h"
#include "formats/soundfont/soundfont.h"

namespace kr {

namespace soundfont {

struct ZoneVoice {
  kr::sf2::Zone zone;
  kr::dsp::sample_voice::State reader;
  double semitones = 0.0;  // the zone's offset for the key, without bend
  double rateRatio = 1.0;  // sample rate / engine rate

  // Copies the zone and starts at its start; false when its sample is not playable.
  bool Start(const kr::sf2::SoundFont& font, const kr::sf2::Zone& source, int key, double engineRate);
  // The increment for an extra offset in semitones.
  std::uint32_t IncrementFor(double extraSemitones) const;
};

}  // namespace soundfont

}  // namespace kr
