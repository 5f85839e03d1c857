#include "patch/patch_memory.h"

#include <algorithm>
#include <cstdio>

#include "document/container.h"
#include "document/iterators.h"

namespace kr {

PatchMemory::PatchMemory(CPatchManager& memory) : memory_(memory) {
  std::vector<StoredPatchParameter*> order;
  for (StoredPatchParameter& p : memory.parameters) order.push_back(&p);
  std::stable_sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->identifier < b->identifier; });
  for (StoredPatchParameter* p : order) parameters_.push_back(std::make_unique<PatchParameter>(memory, *p));
  memory_.SetListener(this);
}

PatchMemory::~PatchMemory() {
  if (memory_.Listener() == this) memory_.SetListener(nullptr);
}

PatchMemory* PatchMemory::Of(const CPatchManager* memory) {
  return memory != nullptr ? dynamic_cast<PatchMemory*>(memory->Listener()) : nullptr;
}

PatchParameter* PatchMemory::FindByIdentifier(std::int32_t identifier) const {
  for (const auto& p : parameters_)
    if (p->Identifier() == identifier) return p.get();
  return nullptr;
}

void PatchMemory::ApplyAll(int patch) {
  for (const auto& p : parameters_) p->Apply(patch);
}

bool PatchMemory::CopyCurrentTo(int destination) {
  if (destination < 0 || destination >= CPatchManager::kPatchCount) return false;
  for (const auto& p : parameters_) p->CopyCurrentTo(destination, destination);
  // The copy's name carries the number 1 whichever program it came from.
  char name[48];
  std::snprintf(name, sizeof name, "(Copy %d) ", 1);
  memory_.SetPatchName(destination, name + memory_.PatchName(-1));
  return true;
}

std::vector<std::unique_ptr<PatchMemory>> MakePatchMemories(CContainer& root) {
  std::vector<std::unique_ptr<PatchMemory>> made;
  const auto visit = [&](auto& self, const CContainer& c) -> void {
    if (CPatchManager* memory = c.PatchMemory()) made.push_back(std::make_unique<PatchMemory>(*memory));
    ForEachModule(c, [&](const CUG& m) {
      if (const auto* inner = DynamicKind<CContainer>(&m)) self(self, *inner);
    });
  };
  visit(visit, root);
  return made;
}

}  // namespace kr
