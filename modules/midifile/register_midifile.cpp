// MIDI file playing and recording: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/midifile/midi_player.h"
#include "modules/midifile/midi_recorder.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterMidiFileModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("MIDI Player", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_player>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI Recorder", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_recorder>, MF_STRUCTURE_VIEW));
}

}  // namespace kr::modules
