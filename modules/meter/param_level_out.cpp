#include "modules/meter/param_level_out.h"

#include <cmath>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {
double RateOf(const ug_base& module) {
  return module.audioMaster != nullptr ? module.audioMaster->SampleRate() : 44100.0;
}
}  // namespace

void ug_param_float_out::ListInterface(InterfaceList& list) {
  ListPlug(list, *this,
           PlugDecl<ug_param_float_out>{.at = PN_IN, .name = "Signal in",
                                        .defaultText = "0",
                                        .flags = PF_SIGNAL,
                                        .hint = "Input signal",
                                        .bind = &ug_param_float_out::in_});
  ListHiddenMidi(list);
  static constexpr PlugDecl<ug_param_float_out> kPlugs[] = {
      {.at = PN_RESPONSE,
       .name = "Response",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "4",
       .list = "VU,PPM,Peak,HeadRoom, DC (Fast), DC Average",
       .bind = &ug_param_float_out::response_},
      {.at = PN_RATE,
       .name = "Update Rate",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "10",
       .list = "1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20,40 Hz=40",
       .bind = &ug_param_float_out::rate_},
  };
  static_assert(PlugIndicesMatch(kPlugs, PN_MIDI_OUT + 1) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

// Only the six responses of this list; anything else measures DC.
void ug_param_float_out::Configure() {
  const int response = response_ >= 0 && response_ <= 5 ? int{response_} : int{kr::dsp::kMeterDcFast};
  detector_.Configure(response, RateOf(*this));
}

int ug_param_float_out::UpdatePeriod() const { return kr::dsp::MeterUpdateInterval(RateOf(*this), rate_); }

void ug_param_float_out::Open() {
  detector_ = {};
  Configure();
  lastSample_ = 0.0f;
  SetProcessFunction(&ug_param_float_out::Detect);
  ug_base::Open();
  StartUpdates(UpdatePeriod());
  display_ = -1000.0f;  // the first update always reports
}

void ug_param_float_out::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && c->to == GetPlug(PN_RESPONSE))
    Configure();
  if (c != nullptr && c->to == GetPlug(PN_RATE)) period_ = UpdatePeriod();
  ug_meter_base::OnPlugStateChange(time, c, state);
}

void ug_param_float_out::Detect(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) detector_.Tick(in_[i]);
  if (count > 0) lastSample_ = in_[offset + count - 1];
}

void ug_param_float_out::Update() {
  float level = detector_.Reading(lastSample_);
  if (detector_.response == kr::dsp::kMeterHeadroom) level = 1.0f - level;
  if (!std::isfinite(level)) level = 0.0f;  // the panel never shows a NaN
  const bool changed = std::fabs(level - display_) >= 1e-8f;
  if (changed) {
    display_ = level;
    PostDisplay();
  }
  if (ContinueUpdates(changed)) SetProcessFunction(&ug_param_float_out::Detect);
}

void ug_param_float_out::Rearm() { SetProcessFunction(&ug_param_float_out::Detect); }

}  // namespace kr
