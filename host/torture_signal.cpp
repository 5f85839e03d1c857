#include "host/torture_signal.h"

#include <cmath>
#include <limits>

namespace kr {

namespace torture {

std::string_view InputName(InputKind kind) {
  switch (kind) {
    case InputKind::Silence:
      return "silence";
    case InputKind::Noise:
      return "full-scale noise";
    case InputKind::Subnormal:
      return "subnormal floats";
    case InputKind::NaN:
      return "NaN";
    case InputKind::PlusInfinity:
      return "+infinity";
    case InputKind::MinusInfinity:
      return "-infinity";
  }
  return "?";
}

void FillInput(std::span<float> channel, InputKind kind, std::mt19937& random) {
  switch (kind) {
    case InputKind::Silence:
      for (float& s : channel) s = 0.0f;
      return;
    case InputKind::Noise: {
      std::uniform_real_distribution<float> full(-1.0f, 1.0f);
      for (float& s : channel) s = full(random);
      return;
    }
    case InputKind::Subnormal: {
      const float smallest = std::numeric_limits<float>::denorm_min();
      std::uniform_int_distribution<int> steps(1, 1 << 20);
      for (std::size_t i = 0; i < channel.size(); ++i)
        channel[i] = (i % 2 == 0 ? smallest : -smallest) * static_cast<float>(steps(random));
      return;
    }
    case InputKind::NaN:
      for (float& s : channel) s = std::numeric_limits<float>::quiet_NaN();
      return;
    case InputKind::PlusInfinity:
      for (float& s : channel) s = std::numeric_limits<float>::infinity();
      return;
    case InputKind::MinusInfinity:
      for (float& s : channel) s = -std::numeric_limits<float>::infinity();
      return;
  }
}

namespace {
constexpr std::uint8_t kPitches[] = {48, 55, 60, 64, 67, 72};
constexpr std::int64_t kPitchCount = sizeof kPitches;
}  // namespace

void Phrase::SetRate(double sampleRate) {
  period_ = static_cast<std::int64_t>(sampleRate / 4.0);
  length_ = static_cast<std::int64_t>(sampleRate / 5.0);
  if (period_ < 2) period_ = 2;
  if (length_ < 1 || length_ >= period_) length_ = period_ - 1;
}

void Phrase::Fill(std::int64_t start, int frames, std::vector<MidiAt>& out) const {
  const std::int64_t end = start + frames;
  for (std::int64_t note = start / period_; note * period_ < end; ++note) {
    const std::uint8_t pitch = kPitches[note % kPitchCount];
    const std::int64_t on = note * period_;
    const std::int64_t off = on + length_;
    if (on >= start && on < end) out.push_back({static_cast<std::int32_t>(on - start), 0x90, pitch, 100});
    if (off >= start && off < end) out.push_back({static_cast<std::int32_t>(off - start), 0x80, pitch, 0});
  }
}

void OutputStats::Add(std::span<const float> samples) {
  for (float s : samples) {
    if (!std::isfinite(s)) {
      ++nonFinite;
      continue;
    }
    sumSquares += static_cast<double>(s) * s;
    peak = std::fmax(peak, std::fabs(s));
  }
  frames += static_cast<std::int64_t>(samples.size());
}

void OutputStats::Add(const OutputStats& other) {
  frames += other.frames;
  nonFinite += other.nonFinite;
  sumSquares += other.sumSquares;
  peak = std::fmax(peak, other.peak);
}

double OutputStats::Rms() const { return frames > 0 ? std::sqrt(sumSquares / static_cast<double>(frames)) : 0.0; }

}  // namespace torture

}  // namespace kr
