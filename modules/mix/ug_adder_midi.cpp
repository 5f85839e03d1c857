#include "modules/mix/ug_adder_midi.h"


void ug_adder_midi::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_MIDI);
  list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_MIDI, "", "", PF_SUM);
}

void ug_adder_midi::OnMidi(int time, std::uint32_t message) { GetPlug(0)->SendMidi(time, message); }

