// MIDI to CV, note sources and MIDI utilities: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "modules/midi/cv_midi.h"
#include "modules/midi/drum_trigger.h"
#include "modules/midi/midi_automator.h"
#include "modules/midi/midi_controllers.h"
#include "modules/midi/midi_filter.h"
#include "modules/midi/midi_keyboard.h"
#include "modules/midi/midi_monitor.h"
#include "modules/midi/midi_to_cv.h"
#include "modules/midi/notesource.h"
#include "modules/midi/patch_select.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterMidiModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Midi to CV", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_to_cv>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE));
  registry.Register(std::make_unique<Module_Info>("Notesource", "", 0, 0, nullptr, AudioFactoryFor<ug_notesource>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE));
  registry.Register(std::make_unique<Module_Info>("Drum Trigger", "", 0, 0, nullptr, AudioFactoryFor<ug_drum_trigger>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE));
  registry.Register(std::make_unique<Module_Info>("Trigger to MIDI", "", 0, 0, nullptr, AudioFactoryFor<ug_cv_midi>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Controllers", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_controllers>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI Filter", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_filter>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI Automator", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_automator>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE));
  registry.Register(std::make_unique<Module_Info>("MIDI Automator Output", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_automator_out>, MF_OBSOLETE));
  registry.Register(std::make_unique<Module_Info>("Patch Select", "", 0, 0, nullptr, AudioFactoryFor<ug_patch_sel>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  registry.Register(std::make_unique<Module_Info>("KeyBoard", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_keyboard>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI Monitor", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_monitor>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
}

}  // namespace kr::modules
