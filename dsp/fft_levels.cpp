#include "dsp/fft_levels.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kr::dsp {

namespace {

int PowerOfTwoAtLeast(int size) {
  int n = Spectrum::kMinSize;
  while (n < size && n < Spectrum::kMaxSize) n *= 2;
  return n;
}

}  // namespace

struct Spectrum::Output {
  std::vector<kiss_fft_cpx> bins;
};

void Spectrum::FreeConfig::operator()(kiss_fftr_state* config) const { kiss_fftr_free(config); }

Spectrum::Spectrum(int size)
    : size_(PowerOfTwoAtLeast(size)),
      config_(kiss_fftr_alloc(size_, 0, nullptr, nullptr)),
      window_(static_cast<std::size_t>(size_)),
      windowed_(static_cast<std::size_t>(size_)),
      output_(std::make_unique<Output>()) {
  output_->bins.resize(static_cast<std::size_t>(Bins()));
  // Periodic Hann: its mean is exactly one half, which the scaling counts on.
  for (int i = 0; i < size_; ++i)
    window_[static_cast<std::size_t>(i)] =
        static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / size_));
}

Spectrum::~Spectrum() = default;

void Spectrum::Analyse(std::span<const float> frame, std::span<float> levelsDb) {
  if (frame.size() < static_cast<std::size_t>(size_) || levelsDb.size() < static_cast<std::size_t>(Bins()) ||
      !config_)
    return;
  for (std::size_t i = 0; i < windowed_.size(); ++i) windowed_[i] = frame[i] * window_[i];
  kiss_fft_cpx* out = output_->bins.data();
  kiss_fftr(config_.get(), windowed_.data(), out);
  // A sine of amplitude a gives a peak of a * size / 4 through the window.
  const double scale = 4.0 / size_;
  for (int k = 0; k < Bins(); ++k) {
    const double magnitude = std::hypot(out[k].r, out[k].i) * scale;
    levelsDb[static_cast<std::size_t>(k)] = static_cast<float>(20.0 * std::log10(std::max(magnitude, 1e-10)));
  }
}

void Spectrum::Bands(std::span<const float> levelsDb, std::span<float> bands) {
  const auto bins = static_cast<int>(levelsDb.size());
  const auto n = static_cast<int>(bands.size());
  if (bins < 2 || n < 1) return;
  // Band b covers bins from 1 * ratio^b to 1 * ratio^(b + 1).
  const double ratio = std::pow(static_cast<double>(bins - 1), 1.0 / n);
  for (int b = 0; b < n; ++b) {
    const double low = std::pow(ratio, b);
    const double high = low * ratio;
    int first = static_cast<int>(std::ceil(low));
    int last = std::min(bins - 1, static_cast<int>(std::floor(high)));
    if (first > last) first = last = std::clamp(static_cast<int>(std::lround(std::sqrt(low * high))), 1, bins - 1);
    float loudest = levelsDb[static_cast<std::size_t>(first)];
    for (int k = first + 1; k <= last; ++k) loudest = std::max(loudest, levelsDb[static_cast<std::size_t>(k)]);
    bands[static_cast<std::size_t>(b)] = loudest;
  }
}

int Spectrum::BinOf(double frequency, double sampleRate, int size) {
  if (!(sampleRate > 0.0) || !std::isfinite(frequency)) return 0;
  const double bin = std::round(frequency * size / sampleRate);
  return static_cast<int>(std::clamp(bin, 0.0, size / 2.0));
}

double Spectrum::FrequencyOf(int bin, double sampleRate, int size) { return bin * sampleRate / size; }

}  // namespace kr::dsp
