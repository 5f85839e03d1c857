#include "document/host_io_wiring.h"

#include <string_view>
#include <vector>

#include "document/container.h"
#include "document/iterators.h"
#include "document/module_info.h"
#include "document/top_container_adapter.h"

namespace {

CUG* FindOrMake(CContainer& root, std::string_view name) {
  CUG* found = nullptr;
  ForEachModule(root, [&](CUG& m) {
    if (!found && m.Entry() && m.Entry()->name == name) found = &m;
  });
  if (found) return found;
  std::unique_ptr<CUG> made = MakeDocumentObjectByName(name);
  if (!made) return nullptr;
  return static_cast<CUG*>(&root.AddChild(std::move(made)));
}

std::vector<CPlug2*> AudioPlugs(CUG* module) {
  std::vector<CPlug2*> plugs;
  if (module)
    for (const auto& p : module->Plugs())
      if (p->DataType() == DT_AUDIO) plugs.push_back(p.get());
  return plugs;
}

bool Join(CContainer& root, CPlug2& a, CPlug2* b) {
  std::string message;
  if (!b || !a.CanConnect(*b, message)) return false;
  root.MakeWire(a, *b);
  return true;
}

}  // namespace

HostIoWiringResult WireTopContainerToHostIo(CContainer& root, CContainer& top) {
  HostIoWiringResult result;
  CUG* output = FindOrMake(root, "VST Output");
  CUG* input = FindOrMake(root, "VST Input");
  const std::vector<CPlug2*> outputAudio = AudioPlugs(output);
  const std::vector<CPlug2*> inputAudio = AudioPlugs(input);
  std::size_t nextOut = 0, nextIn = 0;

  for (const auto& plug : top.Plugs()) {
    if (IsSpareAutoPlug(*plug)) continue;
    const bool isOutput = plug->Direction() == DR_OUT;
    const bool isInput = plug->Direction() == DR_IN;
    if (plug->DataType() == DT_AUDIO && isOutput) {
      if (nextOut < outputAudio.size() && Join(root, *plug, outputAudio[nextOut++])) ++result.audioOutputs;
    } else if (plug->DataType() == DT_AUDIO && isInput) {
      if (nextIn < inputAudio.size() && Join(root, *plug, inputAudio[nextIn++])) ++result.audioInputs;
    } else if (plug->DataType() == DT_MIDI && isOutput) {
      result.midiOut = Join(root, *plug, output ? output->FindPlug("MIDI In") : nullptr) || result.midiOut;
    } else if (plug->DataType() == DT_MIDI && isInput) {
      result.midiIn = Join(root, *plug, input ? input->FindPlug("MIDI Out") : nullptr) || result.midiIn;
    }
  }
  return result;
}
