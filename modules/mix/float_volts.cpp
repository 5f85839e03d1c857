#include "modules/mix/float_volts.h"

#include <cmath>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

double RateOf(const ug_base& module) {
  return module.audioMaster != nullptr ? module.audioMaster->SampleRate() : 44100.0;
}

}  // namespace

// --- FloatToVolts ----------------------------------------------------------------

void ug_float_to_volts::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_float_to_volts> kPlugs[] = {
      {.at = PN_SMOOTHING,
       .name = "Smoothing",
       .type = DT_ENUM,
       .defaultText = "2",
       .list = "None,Fast (4 samp),Smooth (30ms)",
       .bind = &ug_float_to_volts::smoothing_},
      {.at = PN_FLOAT_IN, .name = "Float In", .type = DT_FLOAT, .bind = &ug_float_to_volts::value_},
      {.at = PN_VOLTS_OUT, .name = "Volts Out", .direction = DR_OUT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_float_to_volts::Open() {
  smoother_.Init(OutputSmoother::kLinear, 4);
  smoother_.Bind(GetPlug(PN_VOLTS_OUT), BlockLength());
  SetProcessFunction(&ug_float_to_volts::Run);
  ug_base::Open();
}

void ug_float_to_volts::OnPlugStateChange(int time, connector* c, PlugState) {
  if (c == nullptr || c->to != GetPlug(PN_FLOAT_IN)) return;
  int length = 0;
  if (time != 0 && smoothing_ == 1) length = 4;
  if (time != 0 && smoothing_ == 2) length = static_cast<int>(RateOf(*this)) / 32;
  // A value from the panel that is not a number gives 0 V, not a NaN stream.
  const float volts = std::isfinite(value_) ? value_ * 0.1f : 0.0f;
  smoother_.Set(time, volts, length, OutputSmoother::kLinear);
  SetProcessFunction(&ug_float_to_volts::Run);
}

void ug_float_to_volts::Run(int offset, int count) {
  smoother_.Process(clock, offset, count);
  if (smoother_.Finished()) SetProcessFunction(&ug_base::SleepCheck);
}

// --- VoltsToFloat ----------------------------------------------------------------

void ug_volts_to_float::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_volts_to_float> kPlugs[] = {
      {.at = PN_VOLTS_IN, .name = "Volts In", .flags = PF_SIGNAL, .bind = &ug_volts_to_float::in_},
      {.at = PN_RESPONSE,
       .name = "Response",
       .type = DT_ENUM,
       .defaultText = "4",
       .list = "dB VU,dB PPM,dB Peak,dB HeadRoom, Volts DC (Fast), Volts DC Average, Volts RMS",
       .bind = &ug_volts_to_float::response_},
      {.at = PN_RATE,
       .name = "Update Rate",
       .type = DT_ENUM,
       .defaultText = "10",
       .list = "1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20,40 Hz=40",
       .bind = &ug_volts_to_float::rate_},
      {.at = PN_FLOAT_OUT,
       .name = "Float Out",
       .direction = DR_OUT,
       .type = DT_FLOAT,
       .bind = &ug_volts_to_float::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_volts_to_float::Open() {
  detector_ = {};
  detector_.Configure(response_, RateOf(*this));
  interval_ = kr::dsp::MeterUpdateInterval(RateOf(*this), rate_);
  countdown_ = 1;  // the first sample reports
  last_ = -1000.0f;
  inputStatic_ = false;
  SetProcessFunction(&ug_volts_to_float::Measure);
  ug_base::Open();
}

void ug_volts_to_float::OnPlugStateChange(int time, connector* c, PlugState state) {
  const UPlug* to = c != nullptr ? c->to : nullptr;
  if (to == GetPlug(PN_VOLTS_IN)) {
    inputStatic_ = state != ST_RUN;
  } else if (to == GetPlug(PN_RESPONSE)) {
    detector_.Configure(response_, RateOf(*this));
  } else if (to == GetPlug(PN_RATE)) {
    interval_ = kr::dsp::MeterUpdateInterval(RateOf(*this), rate_);
    if (countdown_ > interval_) countdown_ = interval_;
  }
  SetProcessFunction(&ug_volts_to_float::Measure);
}

bool ug_volts_to_float::Report(int time, float x) {
  const float reading = detector_.Reading(x);
  if (!(std::fabs(reading - last_) >= 1e-8f)) return false;
  last_ = reading;
  out_ = kr::dsp::DetectorReport(detector_.response, reading);
  GetPlug(PN_FLOAT_OUT)->SetState(time, ST_STATIC);
  return true;
}

void ug_volts_to_float::Measure(int offset, int count) {
  for (int i = 0; i < count; ++i) {
    const float x = in_[offset + i];
    detector_.Tick(x);
    if (--countdown_ > 0) continue;
    countdown_ = interval_;
    // A settled input: reports go on while the reading moves, then sleep.
    if (!Report(clock + i, x) && inputStatic_) {
      SetProcessFunction(&ug_base::SleepCheck);
      return;
    }
  }
}

}  // namespace kr
