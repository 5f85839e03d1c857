#include "engine/midi_automation_routing.h"

#include <cstddef>

#include "document/cug.h"
#include "engine/ug_container.h"
#include "engine/ug_control.h"

namespace {

bool TakesControlRouting(ug_base& object) {
  auto* control = dynamic_cast<ug_control*>(&object);
  return control != nullptr && control->docModule != nullptr && control->docModule->TakesMidiAutomation() &&
         control->ControllerNumber() >= 0;
}

}  // namespace

void RouteMidiAutomation(ug_container& container) {
  using namespace automation_plugs;
  ug_base* automator = container.midiAutomator;
  ug_base* output = container.midiAutomatorOut;
  if (automator == nullptr || output == nullptr) return;
  UPlug* hiddenOutput = automator->GetPlug(kAutomatorHiddenOutput);
  UPlug* hiddenInput = output->GetPlug(kOutputHiddenInput);

  // A second source into "Hidden Input" appends an adder to the list; only
  // the objects that were there before are served.
  auto& modules = container.FirstVoice().modules;
  const std::size_t count = modules.size();
  for (std::size_t i = 0; i < count; ++i) {
    ug_base& object = *modules[i];
    if (TakesControlRouting(object)) {
      Connect(hiddenOutput, object.GetPlug(kControlMidiIn));
      Connect(object.GetPlug(kControlMidiOut), hiddenInput);
    }
    if ((object.flags & UGF_PATCH_PARAM_SETTER) != 0) Connect(hiddenOutput, object.GetPlug(kHelperMidiIn));
    if ((object.flags & UGF_PATCH_PARAM_WATCHER) != 0) Connect(object.GetPlug(kHelperMidiOut), hiddenInput);
  }
}
