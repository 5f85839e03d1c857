#include "formats/midifile/merged_events.h"

#include <algorithm>

namespace kr::midifile {

std::vector<TimedMessage> MergeChannelMessages(const MidiFile& file) {
  std::vector<TimedMessage> merged;
  for (const Track& track : file.tracks)
    for (const TrackEvent& e : track.events)
      if (e.kind == EventKind::Channel) merged.push_back({e.tick, e.status, e.data1, e.data2});
  std::stable_sort(merged.begin(), merged.end(),
                   [](const TimedMessage& a, const TimedMessage& b) { return a.tick < b.tick; });
  return merged;
}

std::uint64_t EndTick(const MidiFile& file) {
  std::uint64_t end = 0;
  for (const Track& track : file.tracks)
    if (!track.events.empty()) end = std::max(end, track.events.back().tick);
  return end;
}

}  // namespace kr::midifile
