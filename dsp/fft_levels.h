// The magnitude spectrum of a frame of samples: a Hann window and kissfft's
// real FFT. Made (and its buffers allocated) once; Analyse allocates nothing,
// so the audio thread may call it.
#pragma once

#include <memory>
#include <span>
#include <vector>

struct kiss_fftr_state;

namespace kr::dsp {

class Spectrum {
 public:
  static constexpr int kMinSize = 16;
  static constexpr int kMaxSize = 65536;

  // size: a power of two within [kMinSize, kMaxSize]; anything else is
  // raised to the next power of two within those bounds.
  explicit Spectrum(int size);
  ~Spectrum();
  Spectrum(const Spectrum&) = delete;
  Spectrum& operator=(const Spectrum&) = delete;

  int Size() const { return size_; }
  int Bins() const { return size_ / 2 + 1; }
  // Levels of bins 0 ... Size()/2 in decibels, 0 dB being a sine of
  // amplitude 1.0 centred on its bin. frame holds Size() samples, levelsDb
  // Bins() values (shorter spans are left alone).
  void Analyse(std::span<const float> frame, std::span<float> levelsDb);

  // The levels (dB per bin, Bins() of them for a frame of `size`) gathered
  // into log-spaced bands from the first bin to the last, each band the
  // loudest bin it covers (or the bin nearest its centre when narrower than
  // a bin). For a display; no allocation.
  static void Bands(std::span<const float> levelsDb, std::span<float> bands);

  // The bin nearest a frequency, and a bin's centre frequency.
  static int BinOf(double frequency, double sampleRate, int size);
  static double FrequencyOf(int bin, double sampleRate, int size);

 private:
  struct FreeConfig {
    void operator()(kiss_fftr_state* config) const;
  };
  int size_;
  std::unique_ptr<kiss_fftr_state, FreeConfig> config_;
  std::vector<float> window_;
  std::vector<float> windowed_;
  struct Output;  // kissfft's complex bins
  std::unique_ptr<Output> output_;
};

}  // namespace kr::dsp
