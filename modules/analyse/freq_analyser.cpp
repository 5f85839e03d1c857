#include "modules/analyse/freq_analyser.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

ug_freq_anal::ug_freq_anal() { flags |= UGF_MONITOR; }
ug_freq_anal::~ug_freq_anal() = default;

void ug_freq_anal::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_freq_anal> kPlugs[] = {
      {.at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .hint = "The signal analysed", .bind = &ug_freq_anal::in_},
      {.at = PN_SIZE,
       .name = "FFT Size",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "1024",
       .list = "256=256,512=512,1024=1024,2048=2048,4096=4096",
       .hint = "Samples per analysis: more gives finer frequencies, slower",
       .bind = &ug_freq_anal::size_},
      {.at = PN_RATE,
       .name = "Update Rate",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "10",
       .list = "1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20",
       .hint = "Analyses per second",
       .bind = &ug_freq_anal::rate_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

int ug_freq_anal::Period() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return std::max(1, static_cast<int>(rate / std::clamp<int>(rate_, 1, 20)));
}

void ug_freq_anal::Open() {
  ug_base::Open();
  // Everything the audio thread touches is made here (GUI thread).
  const int size = std::clamp<int>(size_, 256, 4096);
  spectrum_ = std::make_unique<dsp::Spectrum>(size);
  history_.assign(static_cast<std::size_t>(spectrum_->Size()), 0.0f);
  frame_.assign(history_.size(), 0.0f);
  levels_.assign(static_cast<std::size_t>(spectrum_->Bins()), 0.0f);
  bands_.assign(static_cast<std::size_t>(AudioMasterHost::kCurvePoints), 0.0f);
  write_ = 0;
  analysed_ = false;
  analyses_ = 0;
  // The first analysis waits for a whole frame.
  untilAnalysis_ = spectrum_->Size();
  SetProcessFunction(&ug_freq_anal::Collect);
}

void ug_freq_anal::Collect(int offset, int count) {
  const std::size_t ringSize = history_.size();
  for (int i = offset; i < offset + count; ++i) {
    history_[write_] = in_[i];
    write_ = write_ + 1 == ringSize ? 0 : write_ + 1;
    if (--untilAnalysis_ <= 0) {
      Analyse();
      untilAnalysis_ = Period();
    }
  }
}

void ug_freq_anal::Analyse() {
  // Oldest first: from the write position round to just before it.
  const auto split = static_cast<std::ptrdiff_t>(write_);
  std::copy(history_.begin() + split, history_.end(), frame_.begin());
  std::copy(history_.begin(), history_.begin() + split, frame_.end() - split);
  spectrum_->Analyse(frame_, levels_);
  analysed_ = true;
  ++analyses_;
  if (audioMaster == nullptr || (flags & UGF_CLONE) != 0) return;
  dsp::Spectrum::Bands(levels_, bands_);
  audioMaster->Host().PostCurve(*this, bands_.data(), static_cast<int>(bands_.size()));
}

int ug_freq_anal::PeakBin() const {
  if (!analysed_ || levels_.empty()) return -1;
  return static_cast<int>(std::max_element(levels_.begin(), levels_.end()) - levels_.begin());
}

double ug_freq_anal::BinFrequency(int bin) const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return spectrum_ ? dsp::Spectrum::FrequencyOf(bin, rate, spectrum_->Size()) : 0.0;
}

}  // namespace kr
