#include "formats/midifile/tempo_map.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kr::midifile {

TempoMap::TempoMap(const MidiFile& file) {
  Segment first;
  if (file.division.timeCode) {
    const std::uint32_t tpf = file.division.ticksPerFrame > 0 ? file.division.ticksPerFrame : 1u;
    const bool dropFrame = file.division.framesPerSecond == 29;  // 29.97 frames a second
    first.unitsPerTick = dropFrame ? 1001 : 1;
    denominator_ = dropFrame ? 30000ull * tpf : std::uint64_t{file.division.framesPerSecond} * tpf;
    if (denominator_ == 0) denominator_ = 1;
    first.secondsPerTick = static_cast<double>(first.unitsPerTick) / static_cast<double>(denominator_);
    segments_.push_back(first);
    return;
  }
  const std::uint32_t division = file.division.ticksPerQuarter > 0 ? file.division.ticksPerQuarter : 1u;
  denominator_ = 1000000ull * division;
  const auto secondsPerTick = [&](std::uint32_t micros) { return micros / 1e6 / division; };
  first.unitsPerTick = kDefaultMicrosPerQuarter;
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
    std::uint64_t span = 0;
    if (__builtin_mul_overflow(change.tick - last.tick, std::uint64_t{last.unitsPerTick}, &span) ||
        __builtin_add_overflow(last.units, span, &next.units))
      next.units = UINT64_MAX;  // SampleAt falls back to floating point from here on
    next.unitsPerTick = change.microsPerQuarter;
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

std::int64_t TempoMap::SampleAt(std::uint64_t tick, std::uint32_t sampleRate) const {
  const Segment& s = SegmentAtTick(tick);
  std::uint64_t span = 0;
  std::uint64_t units = 0;
  std::uint64_t whole = 0;
  if (sampleRate <= (1u << 20) && s.units != UINT64_MAX && !__builtin_mul_overflow(tick - s.tick, std::uint64_t{s.unitsPerTick}, &span) &&
      !__builtin_add_overflow(s.units, span, &units) &&
      !__builtin_mul_overflow(units / denominator_, std::uint64_t{sampleRate}, &whole)) {
    // The remainder is below 2^36 and the rate at most 2^20: no overflow here.
    const std::uint64_t rest = units % denominator_;
    const std::uint64_t part = (2 * rest * sampleRate + denominator_) / (2 * denominator_);
    if (whole + part <= static_cast<std::uint64_t>(INT64_MAX)) return static_cast<std::int64_t>(whole + part);
  }
  // Times beyond any real file: the nearest sample in floating point.
  return static_cast<std::int64_t>(std::min(std::floor(SecondsAt(tick) * sampleRate + 0.5), 9.0e18));
}

double TempoMap::QuartersAt(double seconds) const {
  const Segment& s = SegmentAtSeconds(seconds);
  return s.quarters + (seconds - s.seconds) * s.bpm / 60.0;
}

double TempoMap::BpmAt(double seconds) const { return SegmentAtSeconds(seconds).bpm; }

}  // namespace kr::midifile
