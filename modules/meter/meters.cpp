#include "modules/meter/meters.h"

#include <algorithm>
#include <cmath>

#include "engine/audio_master.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

int WholeRate(const ug_base& module) {
  const double rate = module.audioMaster != nullptr ? module.audioMaster->SampleRate() : 44100.0;
  return rate >= 1.0 && rate <= 1e6 ? static_cast<int>(rate) : 44100;
}

}  // namespace

// --- LED -------------------------------------------------------------------------------

void ug_led::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_led> kPlugs[] = {
      {.at = PN_IN,
       .name = "Signal in",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "Input signal",
       .bind = &ug_led::in_},
      {.at = PN_THRESHOLD,
       .name = "Threshold",
       .defaultText = "3.333",
       .list = "100, 0, 10, 0",
       .flags = PF_SIGNAL,
       .hint = "Voltage where light switches on",
       .bind = &ug_led::threshold_},
      {.at = PN_APPEARANCE,
       .name = "Appearance",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "LED",
       .hint = "Not currently Used",
       .bind = &ug_led::appearance_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  ListHiddenMidi(list);
}

void ug_led::Open() {
  measured_ = 0.0f;
  SetProcessFunction(&ug_led::Scan);
  ug_base::Open();
  StartUpdates(WholeRate(*this) / 6);
}

void ug_led::Scan(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    if (!(in_[i] > threshold_[i])) continue;
    measured_ = 100.0f;
    if (display_ != 100.0f) {
      display_ = 100.0f;
      PostDisplay();
    }
    // One crossing lights the window: no need to look further in it.
    SetProcessFunction(&ug_base::DoNothing);
    return;
  }
}

void ug_led::Update() {
  if (display_ != measured_) {
    display_ = measured_;
    PostDisplay();
  }
  if (inputStatic_) {
    updateQueued_ = false;
    SetProcessFunction(&ug_base::SleepCheck);
  } else {
    measured_ = 0.0f;
    SetProcessFunction(&ug_led::Scan);
    QueueNextUpdate();
  }
  if (!SignalStreams()) inputStatic_ = true;
}

void ug_led::Rearm() {
  SetProcessFunction(&ug_led::Scan);
  if (!updateQueued_) measured_ = 0.0f;
}

// --- Peak meter --------------------------------------------------------------------------

void ug_peak_meter::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_peak_meter> kPlugs[] = {
      {.at = PN_IN,
       .name = "Signal in",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "Input signal",
       .bind = &ug_peak_meter::in_},
      {.at = PN_RESPONSE,
       .name = "Response",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "Decibel, Linear",
       .bind = &ug_peak_meter::response_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  ListHiddenMidi(list);
}

void ug_peak_meter::Open() {
  peak_ = 0.0f;
  SetProcessFunction(&ug_peak_meter::Track);
  ug_base::Open();
  StartUpdates(WholeRate(*this) / 6);
}

void ug_peak_meter::Track(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) peak_ = std::max(peak_, in_[i]);
}

void ug_peak_meter::Update() {
  const float level = kr::dsp::PeakMeterLevel(peak_, response_ == 1);
  // Rises at once, falls at most 20 units per update.
  const float d = std::max(level - display_, -20.0f);
  if (d != 0.0f) {
    display_ = d > -20.0f ? level : display_ + d;
    PostDisplay();
  }
  const float now = kr::SampleAt(*this, in_, clock);
  if (now != peak_ || d != 0.0f || SignalStreams()) {
    peak_ = now;
    QueueNextUpdate();
  } else {
    updateQueued_ = false;
    SetProcessFunction(&ug_base::SleepCheck);
  }
}

void ug_peak_meter::Rearm() { SetProcessFunction(&ug_peak_meter::Track); }

// --- Volt meter ---------------------------------------------------------------------------

void ug_volt_meter::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_volt_meter> kPlugs[] = {
      {.at = PN_IN,
       .name = "Signal in",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "Input signal",
       .bind = &ug_volt_meter::in_},
      {.at = PN_MODE,
       .name = "Mode",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "DC,AC RMS",
       .hint = "Choose between DC Average Voltage, or AC RMS Voltage Readout",
       .bind = &ug_volt_meter::mode_},
      {.at = PN_RATE,
       .name = "Update Rate",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "Regular=2, Fast=5",
       .hint = "Chooses how often the display is updated",
       .bind = &ug_volt_meter::rate_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  ListHiddenMidi(list);
}

int ug_volt_meter::UpdatePeriod() const {
  const int perSecond = rate_ > 0 ? std::min<int>(rate_, 1000) : 2;
  return std::max(WholeRate(*this) / perSecond, 1);
}

void ug_volt_meter::Open() {
  average_ = {};
  average_.rms = mode_ == 1;
  SetProcessFunction(&ug_volt_meter::Average);
  ug_base::Open();
  StartUpdates(UpdatePeriod());
}

void ug_volt_meter::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && c->to == GetPlug(PN_MODE)) average_.rms = mode_ == 1;
  if (c != nullptr && c->to == GetPlug(PN_RATE)) period_ = UpdatePeriod();
  ug_meter_base::OnPlugStateChange(time, c, state);
}

void ug_volt_meter::Average(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) average_.Tick(in_[i]);
}

void ug_volt_meter::Update() {
  float level = average_.level;
  bool changed = false;
  if (level != display_) {
    if (!std::isfinite(level) && !std::isfinite(display_)) level = 0.0f;
    if (level != display_) {
      display_ = level;
      changed = true;
      PostDisplay();
    }
  }
  if (ContinueUpdates(changed)) SetProcessFunction(&ug_volt_meter::Average);
}

void ug_volt_meter::Rearm() { SetProcessFunction(&ug_volt_meter::Average); }

}  // namespace kr
