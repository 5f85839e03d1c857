#include "modules/delay/ug_delay.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "modules/render_table.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

double RateOf(const ug_base& module) {
  return module.audioMaster != nullptr ? module.audioMaster->SampleRate() : 44100.0;
}

// Feedback beyond full scale would only grow without bound; NaN is none.
float ClampFeedback(float fb) {
  if (fb > 1.0f) return 1.0f;
  if (fb < -1.0f) return -1.0f;
  return fb == fb ? fb : 0.0f;
}

}  // namespace

void ug_delay::ListCommon(InterfaceList& list, const char* modulationDefault, const char* modulationRange,
                          const char* modulationHint, const char* timeDefault) {
  ListPlug(list, *this, PlugDecl<ug_delay>{.at = PN_IN, .name = "Signal In", .flags = PF_SIGNAL, .bind = &ug_delay::in_});
  ListPlug(list, *this,
           PlugDecl<ug_delay>{.at = PN_MODULATION, .name = "Modulation",
                              .defaultText = modulationDefault,
                              .list = modulationRange,
                              .flags = PF_CONTROL,
                              .hint = modulationHint,
                              .bind = &ug_delay::modulation_});
  ListPlug(list, *this, PlugDecl<ug_delay>{.at = PN_OUT, .name = "Signal Out", .direction = DR_OUT, .bind = &ug_delay::out_});
  ListPlug(list, *this,
           PlugDecl<ug_delay>{.at = PN_TIME, .name = "Delay Time (secs)",
                              .direction = DR_PARAMETER,
                              .type = DT_FLOAT,
                              .defaultText = timeDefault,
                              .hint = "Max delay time in Seconds. Limited to maximum 10s.",
                              .bind = &ug_delay::delayTime_});
  ListPlug(list, *this,
           PlugDecl<ug_delay>{.at = PN_INTERPOLATE, .name = "Interpolate Output",
                              .direction = DR_PARAMETER,
                              .type = DT_BOOL,
                              .defaultText = "0",
                              .hint = "Provides smoother modulation of delay time, but increases CPU load",
                              .bind = &ug_delay::interpolate_});
  ListPlug(list, *this,
           PlugDecl<ug_delay>{.at = PN_FEEDBACK, .name = "Feedback",
                              .defaultText = "0",
                              .list = "10,0,10,0",
                              .flags = PF_CONTROL,
                              .bind = &ug_delay::feedbackIn_});
}

void ug_delay::ListInterface(InterfaceList& list) {
  ListCommon(list, "5", "5,-5,5,-5", "Varies the delay time dynamically ( -5V to +5V )", "0.25");
}

void ug_delay2::ListInterface(InterfaceList& list) {
  ListCommon(list, "10", "10,0,10,0", "Varies the delay time dynamically ( 0 to 10V )", "1.0");
}

int ug_delay::DrainLength() const { return std::max(line_.length, BlockLength()); }

void ug_delay::Open() {
  const double rate = RateOf(*this);
  // The whole ten seconds now, on the thread that starts sound: a new delay
  // time later only takes a part of it.
  if (line_.ring.empty()) kr::dsp::ReserveDelay(line_, kr::dsp::MaxDelayLength(rate));
  kr::dsp::SetDelayLength(line_, kr::dsp::DelayLength(rate, delayTime_));
  drainCount_ = DrainLength();
  outputStatic_ = false;
  ChooseProcess();
  ug_base::Open();
  kr::dsp::SetDelayModulation(line_, ReferenceLevel(), kr::SampleAt(*this, modulation_, clock));
  feedback_ = ClampFeedback(kr::SampleAt(*this, feedbackIn_, clock));
  GetPlug(PN_OUT)->SetState(clock, ST_RUN);
}

void ug_delay::OnPlugStateChange(int time, connector* c, PlugState state) {
  const UPlug* to = c != nullptr ? c->to : nullptr;
  if (to == GetPlug(PN_TIME)) {
    kr::dsp::SetDelayLength(line_, kr::dsp::DelayLength(RateOf(*this), delayTime_));
    kr::dsp::SetDelayModulation(line_, ReferenceLevel(), kr::SampleAt(*this, modulation_, time));
    drainCount_ = DrainLength();
  } else if (to == GetPlug(PN_MODULATION)) {
    if (state != ST_RUN) kr::dsp::SetDelayModulation(line_, ReferenceLevel(), kr::SampleAt(*this, modulation_, time));
  } else if (to == GetPlug(PN_FEEDBACK)) {
    feedback_ = ClampFeedback(kr::SampleAt(*this, feedbackIn_, time));
  } else if (to == GetPlug(PN_IN)) {
    drainCount_ = DrainLength();
    outputStatic_ = false;
    GetPlug(PN_OUT)->SetState(time, ST_RUN);
  }
  ChooseProcess();
}

void ug_delay::ChooseProcess() {
  const bool modRun = GetPlug(PN_MODULATION)->state == ST_RUN;
  const bool fbRun = GetPlug(PN_FEEDBACK)->state == ST_RUN;
  static constexpr auto kRenders = kr::RenderTable<8>(
      [](auto i) { return &ug_delay::Render<kr::Bit<2>(i), kr::Bit<1>(i), kr::Bit<0>(i)>; });
  render_ = static_cast<ProcessFunction>(kRenders[kr::RunBits(interpolate_, modRun, fbRun)]);
  if (GetPlug(PN_IN)->state == ST_RUN) {
    SetProcessFunction(render_);
  } else {
    SetProcessFunction(&ug_delay::Drain);
  }
}

template <bool Interpolate, bool ModRun, bool FeedbackRun>
void ug_delay::Render(int offset, int count) {
  const float reference = ReferenceLevel();
  for (int i = offset; i < offset + count; ++i) {
    if constexpr (ModRun) kr::dsp::SetDelayModulation(line_, reference, modulation_[i]);
    const float fb = FeedbackRun ? ClampFeedback(feedbackIn_[i]) : feedback_;
    out_[i] = kr::dsp::DelayTick<Interpolate>(line_, in_[i], fb);
  }
}

void ug_delay::Drain(int offset, int count) {
  (this->*render_)(offset, count);
  const float* out = out_ + offset;
  if (!std::all_of(out, out + count, [](float v) { return v == 0.0f; })) {
    drainCount_ = DrainLength();
    if (outputStatic_) {
      outputStatic_ = false;
      GetPlug(PN_OUT)->SetState(clock, ST_RUN);
    }
    return;
  }
  drainCount_ -= count;
  if (drainCount_ > 0) return;
  // Silent for a whole line and a whole period: every sample in the ring is
  // silence (cleared, so a later wake starts the same whatever the block
  // size), and every position of the output block holds 0.
  std::fill_n(line_.ring.begin(), line_.length, 0.0f);
  line_.write = 0;
  line_.last = 0.0f;
  if (!outputStatic_) {
    outputStatic_ = true;
    GetPlug(PN_OUT)->SetState(clock + count, ST_STATIC);
  }
  SetProcessFunction(&ug_base::SleepCheck);
}

}  // namespace kr
