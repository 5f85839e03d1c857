#include "graph/midi_automation_routing.h"

#include <cstddef>

#include "document/cug.h"
#include "engine/ug_container.h"
#include "engine/ug_control.h"

namespace kr {

namespace {

bool TakesControlRouting(ug_base& object) {
  auto* control = dynamic_cast<ug_control*>(&object);
  return control != nullptr && control->docModule != nullptr && control->docModule->TakesMidiAutomation() &&
         control->ControllerNumber() >= 0;
}

// The plug at a fixed position when it is the MIDI plug expected there. The
// plugs of an object follow its document module's plugs, so one made from a
// damaged document may lack it; that object then goes unwired.
UPlug* MidiPlugAt(ug_base& object, int index, PlugDirection direction) {
  if (index < 0 || index >= object.PlugCount()) return nullptr;
  UPlug* plug = object.plugs[static_cast<std::size_t>(index)].get();
  return plug->type == DT_MIDI && plug->direction == direction ? plug : nullptr;
}

void Join(UPlug* output, UPlug* input) {
  if (output != nullptr && input != nullptr) Connect(output, input);
}

}  // namespace

void RouteMidiAutomation(ug_container& container) {
  using namespace automation_plugs;
  ug_base* automator = container.midiAutomator;
  ug_base* output = container.midiAutomatorOut;
  if (automator == nullptr || output == nullptr) return;
  UPlug* hiddenOutput = MidiPlugAt(*automator, kAutomatorHiddenOutput, DR_OUT);
  UPlug* hiddenInput = MidiPlugAt(*output, kOutputHiddenInput, DR_IN);

  // A second source into "Hidden Input" appends an adder to the list; only
  // the objects that were there before are served.
  auto& modules = container.FirstVoice().modules;
  const std::size_t count = modules.size();
  for (std::size_t i = 0; i < count; ++i) {
    ug_base& object = *modules[i];
    if (TakesControlRouting(object)) {
      Join(hiddenOutput, MidiPlugAt(object, kControlMidiIn, DR_IN));
      Join(MidiPlugAt(object, kControlMidiOut, DR_OUT), hiddenInput);
    }
    if ((object.flags & UGF_PATCH_PARAM_SETTER) != 0) Join(hiddenOutput, MidiPlugAt(object, kHelperMidiIn, DR_IN));
    if ((object.flags & UGF_PATCH_PARAM_WATCHER) != 0) Join(MidiPlugAt(object, kHelperMidiOut, DR_OUT), hiddenInput);
  }
}

}  // namespace kr
