// "Freq Analyser": the spectrum of its input. It keeps the last "FFT Size"
// samples and, "Update Rate" times a second, takes their spectrum (Hann
// window, kissfft through dsp/fft_levels.h) as levels in dB per bin, 0 dB
// being a 10 V sine, and sends the panel 128 log-spaced bands of them
// ("curv"). Our choices: sizes 256 to 4096, the newest frame only (no
// averaging), each band its loudest bin.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "dsp/fft_levels.h"
#include "engine/ug_base.h"

namespace kr {

class ug_freq_anal : public ug_base {
 public:
  enum PlugIndex { PN_SIGNAL, PN_SIZE, PN_RATE };

  ug_freq_anal();
  ~ug_freq_anal() override;
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_freq_anal>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  bool CanSleep() override { return false; }

  // The latest spectrum: one level per bin, 0 ... size / 2 (empty before the
  // first analysis).
  std::span<const float> Levels() const { return {levels_.data(), analysed_ ? levels_.size() : 0}; }
  int PeakBin() const;
  double BinFrequency(int bin) const;
  int Analyses() const { return analyses_; }

 private:
  void Collect(int offset, int count);
  void Analyse();
  int Period() const;

  float* in_ = nullptr;
  std::int16_t size_ = 1024;
  std::int16_t rate_ = 10;

  std::unique_ptr<dsp::Spectrum> spectrum_;
  std::vector<float> history_;  // a ring of the last Size() samples
  std::vector<float> frame_;    // the ring unrolled, oldest first
  std::vector<float> levels_;
  std::vector<float> bands_;    // what the panel draws
  std::size_t write_ = 0;
  int untilAnalysis_ = 0;
  bool analysed_ = false;
  int analyses_ = 0;
};

}  // namespace kr
