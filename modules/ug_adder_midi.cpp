#include "modules/ug_adder_midi.h"

#include "document/module_registry.h"

void ug_adder_midi::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_MIDI);
  list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_MIDI, "", "", PF_SUM);
}

void ug_adder_midi::OnMidi(int time, std::uint32_t message) { GetPlug(0)->SendMidi(time, message); }

namespace {
const bool kRegistered = RegisterModule(std::make_unique<Module_Info>(
    "MIDI Adder2", "", 0, 0, nullptr, AudioFactoryFor<ug_adder_midi>, MF_STRUCTURE_VIEW));
}  // namespace
