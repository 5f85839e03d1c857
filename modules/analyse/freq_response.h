// "Freq Response Test": measures the response of the patch between its
// plugs. "Signal Out" sends a 5 V sine stepping through "Points" log-spaced
// frequencies from "Low Freq" to "High Freq" (Hz), again and again; what the
// patch returns to "Signal In" is correlated with it (dsp/response_sweep.h)
// and kept as the gain in dB at each frequency. Like "Feedback Delay" it
// runs as two audio objects, so the loop through the patch is not feedback:
// the reader sends what the writer made the period before, and the writer
// measures the answer against that. The panel draws the gains ("curv").
// Our choices: stepped sines rather than
// a chirp (exact gains, any patch delay), 5 V, repeating sweeps.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/response_sweep.h"
#include "modules/delay/feedback_delay.h"

namespace kr {

class UFreqRespOut;

class UFreqResp : public FeedbackDelayHalf<ug_base> {
 public:
  enum PlugIndex { PN_SIGNAL_IN, PN_SIGNAL_OUT, PN_LOW, PN_HIGH, PN_POINTS };
  static constexpr float kAmplitude = 0.5f;  // 5 V

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<UFreqResp>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  bool CanSleep() override { return false; }
  void ConnectClone(ug_base& prototype, int voice) override;

  // AudioPair
  std::unique_ptr<ug_base> MakeReader() override;
  ug_base* PairPartner() const override;
  bool IsPairReader() const override { return false; }

  UFreqRespOut* Reader() const { return reader_; }
  const dsp::sweep::Plan& SweepPlan() const { return plan_; }
  // The latest gain measured at each point (0 dB before the first).
  float GainDb(int point) const;
  int Sweeps() const { return taken_.sweeps; }

 private:
  void Link(UFreqRespOut& reader);
  void Measure(int offset, int count);

  float* in_ = nullptr;
  float low_ = 20.0f;
  float high_ = 20000.0f;
  std::int16_t points_ = 32;
  dsp::sweep::Plan plan_;
  dsp::sweep::State state_;  // the generator
  dsp::sweep::State taken_;  // the measurement
  dsp::sweep::Sent* handOn_ = nullptr;
  UFreqRespOut* reader_ = nullptr;
};

// The sending half: hands on what the writer made one period before.
class UFreqRespOut : public FeedbackDelayHalf<ug_base> {
 public:
  enum PlugIndex { PN_UNUSED, PN_SIGNAL_OUT };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<UFreqRespOut>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  bool CanSleep() override { return false; }

  ug_base* PairPartner() const override;
  bool IsPairReader() const override { return true; }

  dsp::sweep::Sent* HandOnBlock();

 private:
  friend class UFreqResp;
  void Send(int offset, int count);

  std::int16_t unused_ = 0;
  float* out_ = nullptr;
  std::vector<dsp::sweep::Sent> handOn_;
  UFreqResp* writer_ = nullptr;
};

}  // namespace kr
