// SoundFont playing: the family's registrations. Both modules are stored as
// their panel controls, whose text is the file they play; the document side
// knows those classes (document/container.cpp) and the graph builder hands
// the text to the audio object.
#include "modules/families.h"

#include <memory>

#include "modules/soundfont/osc_sf.h"
#include "modules/soundfont/sample_player.h"
#include "modules/soundfont/sample_player2.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterSoundfontModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("Soundfont Oscillator", "", 0, 0, nullptr, AudioFactoryFor<ug_osc_sf>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("Soundfont Player", "", 0, 0, nullptr, AudioFactoryFor<ug_sample_player2>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE | MF_NOTE_SOURCE | MF_PANEL_VIEW));
  // Stored as a plain module: its file is a plug of its own.
  registry.Register(std::make_unique<Module_Info>("Sample Player obsolete", "", 0, 0, nullptr, AudioFactoryFor<ug_sample_player>, MF_STRUCTURE_VIEW | MF_OBSOLETE | MF_VOICE_SOURCE | MF_NOTE_SOURCE));
}

}  // namespace kr::modules
