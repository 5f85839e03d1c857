// Base of modules that receive MIDI: each UET_MIDI event becomes an OnMidi
// call, and the module sleeps between messages. The inherited slots keep
// the threads engine/ug_base.h gives them.
#pragma once

#include <cstdint>

#include "engine/ug_base.h"

namespace kr {

class ug_midi_device : public ug_base {
 public:
  ug_midi_device() { SetProcessFunction(&ug_base::SleepCheck); }

  void HandleEvent(ug_event* event) override {
    if (event->type == UET_MIDI) {
      OnMidi(event->time, static_cast<std::uint32_t>(event->value));
      return;
    }
    ug_base::HandleEvent(event);
  }
  // Slot 27: one MIDI word at its engine time. Audio thread.
  virtual void OnMidi(int time, std::uint32_t message) {}
};

}  // namespace kr
