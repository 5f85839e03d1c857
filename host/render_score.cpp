#include "host/render_score.h"

#include <algorithm>
#include <cmath>

#include "formats/midifile/merged_events.h"

namespace kr {

double Score::BpmAt(double seconds) const { return tempo ? tempo->BpmAt(seconds) : 120.0; }

double Score::QuartersAt(double seconds) const { return tempo ? tempo->QuartersAt(seconds) : seconds * 2.0; }

Score ScoreFromMidi(const kr::midifile::MidiFile& file, double sampleRate) {
  Score score;
  score.tempo.emplace(file);
  const bool wholeRate = sampleRate == std::floor(sampleRate) && sampleRate >= 1.0 && sampleRate <= 1048576.0;
  const auto sampleAt = [&](std::uint64_t tick) {
    if (wholeRate) return score.tempo->SampleAt(tick, static_cast<std::uint32_t>(sampleRate));
    return static_cast<std::int64_t>(std::llround(score.tempo->SecondsAt(tick) * sampleRate));
  };
  for (const kr::midifile::TimedMessage& m : kr::midifile::MergeChannelMessages(file))
    score.events.push_back({sampleAt(m.tick), m.status, m.data1, m.data2});
  score.endSample = sampleAt(kr::midifile::EndTick(file));
  if (!score.events.empty()) score.endSample = std::max(score.endSample, score.events.back().sample);
  return score;
}

}  // namespace kr
