#include "modules/midifile/tempo_map.h"

#include <algorithm>

namespace kr::midifile {

TempoMap::TempoMap(const MidiFile& file) {
  Segment first;
  if (file.division.timeCode) {
    const double fps = file.division.framesPerSecond == 29 ? 30000.0 / 1001.0 : file.division.framesPerSecond;
    first.secondsPerTick = 1.0 / (fps * file.division.ticksPerFrame);
    segments_.push_back(first);
    return;
  }
  const double division = file.division.ticksPerQuarter > 0 ? file.division.ticksPerQuarter : 1.0;
  const auto secondsPerTick = [&](std::uint32_t micros) { return micros / 1e6 / division; };
  first.secondsPerTick = secondsPerTick(kDefaultMicrosPerQuarter);
  segments_.push_back(first);

  std::vector<TrackEvent> changes;
  for (const Track& track : file.tracks)
    for (const TrackEvent& e : track.events)
      if (e.kind == EventKind::Tempo) changes.push_back(e);
  std::stable_sort(changes.begin(), changes.end(),
                   [](const TrackEvent& a, const TrackEvent& b) { return a.tick < b.tick; });
  for (const TrackEvent& change : changes) {
    const Segment& last = segments_.back();
    Segment next;
    next.tick = change.tick;
    next.seconds = last.seconds + static_cast<double>(change.tick - last.tick) * last.secondsPerTick;
    next.quarters = static_cast<double>(change.tick) / division;
    next.secondsPerTick = secondsPerTick(change.microsPerQuarter);
    next.bpm = 60e6 / change.microsPerQuarter;
    if (next.tick == last.tick)
      segments_.back() = next;
    else
      segments_.push_back(next);
  }
}

const TempoMap::Segment& TempoMap::SegmentAtTick(std::uint64_t tick) const {
  auto after = std::upper_bound(segments_.begin(), segments_.end(), tick,
                                [](std::uint64_t t, const Segment& s) { return t < s.tick; });
  return *(after - 1);  // the first segment starts at tick 0
}

const TempoMap::Segment& TempoMap::SegmentAtSeconds(double seconds) const {
  auto after = std::upper_bound(segments_.begin(), segments_.end(), seconds,
                                [](double t, const Segment& s) { return t < s.seconds; });
  return after == segments_.begin() ? segments_.front() : *(after - 1);
}

double TempoMap::SecondsAt(std::uint64_t tick) const {
  const Segment& s = SegmentAtTick(tick);
  return s.seconds + static_cast<double>(tick - s.tick) * s.secondsPerTick;
}

double TempoMap::QuartersAt(double seconds) const {
  const Segment& s = SegmentAtSeconds(seconds);
  return s.quarters + (seconds - s.seconds) * s.bpm / 60.0;
}

double TempoMap::BpmAt(double seconds) const { return SegmentAtSeconds(seconds).bpm; }

}  // namespace kr::midifile
