#include "dsp/wavetable_sets.h"

#include <cmath>
#include <numbers>

namespace kr::dsp {

namespace {

struct Harmonic {
  int number;
  double amplitude;
};

std::vector<Harmonic> HarmonicsOf(WaveKind kind, double& gain) {
  std::vector<Harmonic> list;
  switch (kind) {
    case WaveKind::Sine:
    case WaveKind::Cosine:
      gain = 1.0;
      list.push_back({1, 1.0});
      break;
    case WaveKind::Saw:
      gain = 0.64;
      for (int h = 1; h <= 256; ++h) list.push_back({h, -1.0 / h});
      break;
    case WaveKind::Triangle: {
      gain = 0.81;
      double sign = 1.0;
      for (int h = 1; h <= 255; h += 2, sign = -sign) list.push_back({h, sign / (static_cast<double>(h) * h)});
      break;
    }
  }
  for (Harmonic& h : list) h.amplitude *= gain / 2.0;
  return list;
}

double UpperBoundFor(int highestHarmonic) {
  return 2147483648.0 / highestHarmonic * std::exp2(-1.0 / 6.0);
}

// basis[k * entries + j]: harmonic k's sine (or cosine) at entry j, computed
// once per set: every table of the set sums the same values.
std::vector<double> Basis(const std::vector<Harmonic>& harmonics, int entries, bool cosine) {
  const double step = 2.0 * std::numbers::pi / 512.0;
  std::vector<double> basis(harmonics.size() * static_cast<std::size_t>(entries));
  for (std::size_t k = 0; k < harmonics.size(); ++k) {
    const int h = harmonics[k].number;
    for (int j = 0; j < entries; ++j) {
      const double theta = j * step;
      basis[k * static_cast<std::size_t>(entries) + static_cast<std::size_t>(j)] =
          cosine ? std::cos(h * theta) : std::sin(h * theta);
    }
  }
  return basis;
}

Uwavetable MakeTable(const std::vector<Harmonic>& harmonics, const std::vector<double>& basis, int count,
                     bool smoothing) {
  Uwavetable table;
  const auto entries = static_cast<std::size_t>(table.Size());
  // The amplitudes with their smoothing, once per table rather than per entry.
  std::vector<double> amplitudes(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    double a = harmonics[static_cast<std::size_t>(k)].amplitude;
    const int h = harmonics[static_cast<std::size_t>(k)].number;
    if (smoothing) a *= 0.54 + 0.46 * std::cos((h - 1) * std::numbers::pi / count);
    amplitudes[static_cast<std::size_t>(k)] = a;
  }
  for (std::size_t j = 0; j < entries; ++j) {
    double sum = 0.0;
    for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) sum += amplitudes[k] * basis[k * entries + j];
    table.Set(static_cast<int>(j), static_cast<float>(sum));
  }
  const int highest = harmonics[static_cast<std::size_t>(count - 1)].number;
  table.highestHarmonic = highest;
  table.upperBound = static_cast<std::uint32_t>(UpperBoundFor(highest));
  table.ready = true;
  return table;
}

// A richer table goes in front; the poorer one learns where to hand over.
void InsertRicher(WaveTableSet& set, Uwavetable richer) {
  if (!set.empty()) {
    Uwavetable& poorer = set.front();
    poorer.nextRicherBound = richer.upperBound;
    poorer.lowerBound = static_cast<std::uint32_t>(richer.upperBound * std::exp2(-1.0 / 12.0));
  }
  set.insert(set.begin(), std::move(richer));
}

}  // namespace

WaveTableSet BuildTableSet(WaveKind kind, bool smoothing) {
  double gain = 1.0;
  const std::vector<Harmonic> harmonics = HarmonicsOf(kind, gain);
  const bool cosine = kind == WaveKind::Cosine;
  const int total = static_cast<int>(harmonics.size());
  const std::vector<double> basis = Basis(harmonics, Uwavetable().Size(), cosine);
  WaveTableSet set;
  int last = 0;  // harmonic count of the last table made
  for (int i = 0; i < total;) {
    // A table with every harmonic up to the start of this group.
    InsertRicher(set, MakeTable(harmonics, basis, i + 1, smoothing));
    last = i + 1;
    const double limit = std::numbers::sqrt2 * harmonics[static_cast<std::size_t>(i)].number;
    int next = i + 1;
    while (next < total && harmonics[static_cast<std::size_t>(next)].number < limit) ++next;
    i = next;
  }
  if (last < total) InsertRicher(set, MakeTable(harmonics, basis, total, smoothing));
  set.front().lowerBound = 0;
  set.front().nextRicherBound = 0;
  for (int i = 0; i < static_cast<int>(set.size()); ++i) set[static_cast<std::size_t>(i)].identity = i;
  return set;
}

const WaveTableSet& SineTableSet() {
  static const WaveTableSet set = BuildTableSet(WaveKind::Sine, true);
  return set;
}

const WaveTableSet& CosineTableSet() {
  static const WaveTableSet set = BuildTableSet(WaveKind::Cosine, true);
  return set;
}

const WaveTableSet& SawTableSet(bool smoothing) {
  // Each set is built the first time it is asked for, not both at once.
  if (smoothing) {
    static const WaveTableSet smooth = BuildTableSet(WaveKind::Saw, true);
    return smooth;
  }
  static const WaveTableSet plain = BuildTableSet(WaveKind::Saw, false);
  return plain;
}

const WaveTableSet& TriangleTableSet() {
  static const WaveTableSet set = BuildTableSet(WaveKind::Triangle, false);
  return set;
}

const Uwavetable& SilenceTable() {
  static const Uwavetable silence = [] {
    Uwavetable table;
    for (int i = 0; i < table.Size(); ++i) table.Set(i, 0.0f);
    // Silent from the sine table's limit up.
    table.lowerBound = SineTableSet().back().upperBound;
    table.upperBound = 0xFFFFFFFFu;
    table.ready = true;
    return table;
  }();
  return silence;
}

void BuildEveryTableSet() {
  SineTableSet();
  CosineTableSet();
  SawTableSet(true);
  SawTableSet(false);
  TriangleTableSet();
  SilenceTable();
}

TableChoice ChooseTable(const WaveTableSet& set, std::uint32_t increment) {
  if (set.empty() || increment > set.back().upperBound) {
    const Uwavetable& silence = SilenceTable();
    return {&silence, silence.lowerBound, silence.upperBound};
  }
  std::size_t i = set.size() - 1;
  while (i > 0 && increment < set[i].nextRicherBound) --i;
  return {&set[i], set[i].lowerBound, set[i].upperBound};
}

}  // namespace kr::dsp
