#include "patch/audio_binding.h"

#include "document/container.h"
#include "document/cug.h"
#include "document/iterators.h"
#include "engine/audio_master.h"
#include "engine/patch_value_report.h"
#include "engine/ug_base.h"
#include "engine/ug_container.h"
#include "engine/uplug.h"
#include "patch/patch_memory.h"
#include "registry/item_list.h"

namespace kr {

namespace {

template <class Fn>
void ForEachContainer(const CContainer& c, Fn&& fn) {
  fn(c);
  ForEachModule(c, [&](const CUG& m) {
    if (const auto* inner = DynamicKind<CContainer>(&m)) ForEachContainer(*inner, fn);
  });
}

dsp_patch_parameter::Mapping MappingOf(const PatchParameter& p) {
  dsp_patch_parameter::Mapping m;
  m.typeNumber = p.TypeNumber();
  m.minimum = p.Minimum();
  m.maximum = p.Maximum();
  if (m.typeNumber == PV_ENUM) {
    EnumListIterator items(p.ItemList());
    for (items.First(); !items.IsDone() && m.itemValues.size() < 4096; items.Next())
      m.itemValues.push_back(items.CurrentValue());
  }
  return m;
}

// The audio object of a plug's module when it produces its patch value (the
// plug itself lives on the panel side only): found through any plug of the
// module that has an audio counterpart.
PatchValueSource* ProducerOf(const CPlug2& plug, const std::function<UPlug*(const CPlug2&)>& audioPlugOf) {
  const CUG* module = plug.Owner();
  if (module == nullptr) return nullptr;
  for (const auto& other : module->Plugs()) {
    if (UPlug* audio = audioPlugOf(*other); audio != nullptr && audio->owner != nullptr)
      return dynamic_cast<PatchValueSource*>(audio->owner);
  }
  return nullptr;
}

}  // namespace

std::vector<PatchMemory*> PatchMemoriesOf(const CContainer& root) {
  std::vector<PatchMemory*> found;
  ForEachContainer(root, [&](const CContainer& c) {
    if (PatchMemory* memory = PatchMemory::Of(c.PatchMemory())) found.push_back(memory);
  });
  return found;
}

std::size_t PatchParameterCount(const CContainer& root) {
  std::size_t count = 0;
  for (PatchMemory* memory : PatchMemoriesOf(root)) count += memory->Parameters().size();
  return count;
}

PatchBinding BindPatchParameters(const CContainer& root, KrAudioMaster& master,
                                 const std::function<UPlug*(const CPlug2&)>& audioPlugOf) {
  PatchBinding binding;
  ForEachContainer(root, [&](const CContainer& container) {
    PatchMemory* memory = PatchMemory::Of(container.PatchMemory());
    if (memory == nullptr) return;
    auto* owner = dynamic_cast<ug_container*>(container.AudioObject());
    auto manager = std::make_unique<dsp_patch_manager>(owner);
    for (const auto& parameter : memory->Parameters()) {
      const CPlug2* plug = parameter->Stored().plug;
      UPlug* audio = plug != nullptr ? audioPlugOf(*plug) : nullptr;
      // The value reaches the module through the constant source of its
      // input; a module that produces its patch value reports it instead.
      UPlug* source = nullptr;
      PatchValueSource* producer = nullptr;
      if (audio != nullptr && audio->IsInput() && audio->HasConnection())
        source = audio->connections.front()->from;
      else if (audio == nullptr && plug != nullptr)
        producer = ProducerOf(*plug, audioPlugOf);
      if (source == nullptr && producer == nullptr) continue;
      auto twin = std::make_unique<dsp_patch_parameter>(master, parameter->Handle(), MappingOf(*parameter), source,
                                                        parameter->ProgramEpoch());
      if (producer != nullptr) producer->WatchPatchValue(twin.get());
      master.RegisterTarget(parameter->Handle(), twin.get());
      parameter->Bind(master, twin.get());
      manager->Add(*twin, parameter->Stored().midiController);
      binding.twins.push_back(std::move(twin));
    }
    if (owner != nullptr) owner->parameterAutomation = manager.get();
    binding.managers.push_back(std::move(manager));
  });
  return binding;
}

void UnbindPatchParameters(const CContainer& root) {
  for (PatchMemory* memory : PatchMemoriesOf(root))
    for (const auto& parameter : memory->Parameters()) parameter->Unbind();
}

}  // namespace kr
