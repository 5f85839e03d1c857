// Voice copies: Clone and wiring a copy like its prototype.
#include <algorithm>

#include "engine/ug_base.h"

namespace kr {

namespace {

bool PerVoice(const ug_base* module) { return module != nullptr && (module->flags & UGF_POLYPHONIC) != 0; }

int IndexOf(ug_base& module, const UPlug* plug) {
  for (int i = 0; i < module.PlugCount(); ++i)
    if (module.plugs[static_cast<std::size_t>(i)].get() == plug) return i;
  return -1;
}

}  // namespace

std::unique_ptr<ug_base> ug_base::Clone() {
  std::unique_ptr<ug_base> copy = CreateSame();
  copy->nextClone = nextClone;
  nextClone = copy.get();
  copy->docModule = docModule;
  copy->title = title;
  copy->handle = handle;
  copy->sortOrder = sortOrder;
  copy->container = container;
  copy->automation = automation;
  copy->audioMaster = audioMaster;
  copy->CreatePlugs();
  // Plugs the prototype gained after construction (one per document plug).
  for (std::size_t i = copy->plugs.size(); i < plugs.size(); ++i) {
    const UPlug& original = *plugs[i];
    auto extra = std::make_unique<UPlug>(copy.get(), original.direction, original.type);
    extra->flags = original.flags & ~(UPF_VALUE_CHANGED | UPF_OWNS_DATA);
    copy->AddPlug(std::move(extra));
  }
  copy->AllocatePlugData();
  copy->flags = (flags & ~(UGF_SUSPENDED | UGF_OPEN)) | UGF_CLONE;
  return copy;
}

// Voices are built one at a time: every per-voice module of voice 0 is cloned,
// then every copy is wired. A per-voice module's newest copy (its nextClone)
// is therefore its copy in the voice being built.
void ug_base::ConnectClone(ug_base& prototype, int voice) {
  const std::size_t count = std::min(plugs.size(), prototype.plugs.size());
  for (std::size_t i = 0; i < count; ++i) {
    UPlug* original = prototype.plugs[i].get();
    UPlug* mine = plugs[i].get();
    // Snapshot: wiring below may add connectors to the prototype's plugs.
    const std::vector<connector*> wires = original->connections;
    for (connector* c : wires) {
      if (c->from == original) {
        // Into a shared module: join it (its summing input or combiner adds
        // the voices). Into a per-voice module: that copy wires it.
        if (!PerVoice(c->to->owner)) Connect(mine, c->to);
        continue;
      }
      ug_base* source = c->from->owner;
      if (!PerVoice(source)) {
        Connect(c->from, mine);
        continue;
      }
      ug_base* sourceCopy = source == &prototype ? this : source->nextClone;
      const int index = IndexOf(*source, c->from);
      if (sourceCopy != nullptr && index >= 0 && index < sourceCopy->PlugCount()) Connect(sourceCopy->GetPlug(index), mine);
    }
  }
}

}  // namespace kr
