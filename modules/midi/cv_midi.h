// "Trigger to MIDI": turns a gate, pitch and velocity voltage into MIDI note
// messages, at the sample where the gate crosses 0 V.
#pragma once

#include "engine/ug_base.h"
#include "registry/midi_link.h"

namespace kr {

class ug_cv_midi : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_cv_midi>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  // The note for a "Pitch" sample in either frequency scale, 0 .. 127.
  static int NoteForPitch(float pitch, bool voltsPerKhz);

 private:
  void ScanGate(int offset, int count);
  void GateChanged(int time, int index, bool on);

  float* gate_ = nullptr;
  float* pitch_ = nullptr;
  float* velocity_ = nullptr;
  std::int16_t channel_ = 0;
  MidiOutEndpoint midiOut_;
  std::int16_t freqScale_ = 0;
  bool on_ = false;
  int note_ = 0;
};

}  // namespace kr
