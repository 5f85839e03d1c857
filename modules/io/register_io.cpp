// The modules that meet the host: the family's registrations.
#include "modules/families.h"

#include <memory>

#include "engine/ug_io_mod.h"
#include "modules/io/midi_out.h"
#include "modules/io/sound_card.h"
#include "modules/io/ug_midi_in.h"
#include "modules/io/ug_vst_in.h"
#include "modules/io/ug_vst_out.h"
#include "modules/module_entry.h"
#include "registry/module_registry.h"

namespace kr::modules {

void RegisterHostIoModules(ModuleRegistry& registry) {
  registry.Register(std::make_unique<Module_Info>("VST Input", "", 0, 0, nullptr, AudioFactoryFor<ug_vst_in>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("VST Output", "", 0, 0, nullptr, AudioFactoryFor<ug_vst_out>, MF_STRUCTURE_VIEW));
  registry.Register(std::make_unique<Module_Info>("MIDI In", "", 0, 0, nullptr, AudioFactoryFor<ug_midi_in>, MF_STRUCTURE_VIEW));
  registry.Register(Entry<ug_midi_out>("MIDI Out"));
  registry.Register(Entry<ug_soundcard_in>("Sound In"));
  registry.Register(Entry<ug_soundcard_out>("Sound Out"));
  // The graph builder joins a container's "IO Mod" plugs straight through.
  // Its document plugs are the container's boundary pairs, which the
  // document makes itself: the entry lists none, as stored documents expect.
  auto ioMod = Entry<ug_io_mod>("IO Mod", MF_CONTAINER_2 | MF_IO_MODULE | MF_STRUCTURE_VIEW);
  ioMod->plugs.clear();
  registry.Register(std::move(ioMod));
}

}  // namespace kr::modules
