// Base of the audio halves of the panel meters ("LED Indicator", "Peak
// Meter", "Volt Meter"): updates run every period P samples (queued calls,
// so their times do not depend on the block size), and each display value
// that changes is sent to the GUI side through the DSP-to-GUI ring. After
// the input stops streaming one more window is shown, then the meter sleeps
// until the input changes again.
#pragma once

#include "engine/ug_base.h"
#include "registry/midi_link.h"

namespace kr {

class ug_meter_base : public ug_base {
 public:
  enum : int { PN_SIGNAL = 0 };

  float Display() const { return display_; }
  int Period() const { return period_; }

  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 protected:
  // At Open, after the base: display -1, an update queued at once.
  void StartUpdates(int period);
  void QueueNextUpdate() { QueueCall(clock + period_, &ug_meter_base::UpdateCall); }
  void PostDisplay();
  // Ends an update: a settled input whose update changed nothing puts the
  // meter to sleep (false); otherwise the next update is queued (true).
  bool ContinueUpdates(bool changed);
  bool SignalStreams() { return GetPlug(PN_SIGNAL)->state == ST_RUN; }
  // The queued update of the meter. Audio thread.
  virtual void Update() = 0;
  // The input changed state with no update pending: start a new window. Audio thread.
  virtual void Rearm() = 0;
  void ListHiddenMidi(InterfaceList& list);

  float display_ = -1.0f;
  int period_ = 1;
  bool updateQueued_ = false;
  bool inputStatic_ = false;

 private:
  static void UpdateCall(ug_base& module) { static_cast<ug_meter_base&>(module).Update(); }

  MidiInEndpoint midiIn_;
  MidiOutEndpoint midiOut_;
};

}  // namespace kr
