// The phrase kestrune render plays when no MIDI file is given: four bars at
// 120 bpm (C minor, A flat, B flat, C minor) with a chord pad and an
// arpeggiated line, as Standard MIDI File bytes (format 1, tempo track).
#pragma once

#include <cstdint>
#include <vector>

namespace kr {

std::vector<std::uint8_t> DemoPhraseMidiFile();

}  // namespace kr
