#include "modules/meter/meter_base.h"

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_meter_base::ListHiddenMidi(InterfaceList& list) {
  ListPlug(
      list, *this,
      PlugDecl<ug_meter_base>{.name = "MIDI In", .type = DT_MIDI, .flags = PF_HIDDEN, .bind = &ug_meter_base::midiIn_});
  ListPlug(list, *this,
           PlugDecl<ug_meter_base>{.name = "MIDI Out",
                                   .direction = DR_OUT,
                                   .type = DT_MIDI,
                                   .flags = PF_HIDDEN,
                                   .bind = &ug_meter_base::midiOut_});
}

void ug_meter_base::StartUpdates(int period) {
  display_ = -1.0f;
  period_ = period > 0 ? period : 1;
  inputStatic_ = false;
  updateQueued_ = true;
  QueueCall(clock, &ug_meter_base::UpdateCall);
}

void ug_meter_base::PostDisplay() {
  if (audioMaster != nullptr) audioMaster->Host().PostDisplayValue(*this, display_);
}

bool ug_meter_base::ContinueUpdates(bool changed) {
  const bool settle = inputStatic_ && !changed;
  if (settle) {
    updateQueued_ = false;
    SetProcessFunction(&ug_base::SleepCheck);
  } else {
    QueueNextUpdate();
  }
  if (!SignalStreams()) inputStatic_ = true;
  return !settle;
}

void ug_meter_base::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->to != GetPlug(PN_SIGNAL) || state == ST_STOP) return;
  Rearm();
  if (!updateQueued_) {
    updateQueued_ = true;
    QueueNextUpdate();
  }
  inputStatic_ = false;
}

}  // namespace kr
