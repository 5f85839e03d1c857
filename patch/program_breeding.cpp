#include "patch/program_breeding.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/split_mix.h"
#include "document/container.h"
#include "patch/patch_memory.h"
#include "registry/item_list.h"

namespace kr {

namespace {

bool IsProgram(std::int32_t p) { return p >= 0 && p < StoredPatchParameter::kSlots; }

std::string NumberText(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

// The item values of a list, at most `limit` of them.
std::vector<int> ItemValues(const std::string& listText, std::size_t limit = 4096) {
  std::vector<int> values;
  EnumListIterator items(listText);
  for (items.First(); !items.IsDone() && values.size() < limit; items.Next()) values.push_back(items.CurrentValue());
  return values;
}

// One parameter's child value from its parents' texts. Every parameter takes
// four draws whatever it is, so one parameter's kind never shifts the
// choices made for the next.
std::string ChildText(const PatchParameter& p, const std::string& a, const std::string& b, float mutation,
                      SplitMix& random) {
  const bool fromA = random.Unit() < 0.5;
  const double between = random.Unit();
  const bool mutates = random.Unit() < mutation;
  const double where = random.Unit();
  const std::string& inherited = fromA ? a : b;
  switch (p.TypeNumber()) {
    case PV_FLOAT: {
      const double low = std::min(p.Minimum(), p.Maximum());
      const double high = std::max(p.Minimum(), p.Maximum());
      const double va = std::strtod(a.c_str(), nullptr);
      const double vb = std::strtod(b.c_str(), nullptr);
      double v = va + (vb - va) * between;
      if (mutates) v = low + (high - low) * where;
      return NumberText(std::clamp(v, low, high));
    }
    case PV_ENUM: {
      if (!mutates) return inherited;
      const std::vector<int> items = ItemValues(p.ItemList());
      if (items.empty()) return inherited;
      const auto pick = std::min(items.size() - 1, static_cast<std::size_t>(where * static_cast<double>(items.size())));
      return std::to_string(items[pick]);
    }
    case PV_BOOL:
      if (!mutates) return inherited;
      return std::strtol(inherited.c_str(), nullptr, 10) != 0 ? "0" : "1";
    default:
      return inherited;
  }
}

CContainer* OwnerOf(CPatchManager& memory, CContainer* from) {
  for (CContainer* c = from; c != nullptr; c = c->Parent())
    if (c->PatchMemory() == &memory) return c;
  return nullptr;
}

}  // namespace

bool BreedProgram(PatchMemory& memory, const BreedRequest& request) {
  if (!IsProgram(request.parentA) || !IsProgram(request.parentB) || !IsProgram(request.child)) return false;
  SplitMix random(request.seed);
  const float mutation = request.mutation >= 0.0f ? std::min(request.mutation, 1.0f) : 0.0f;  // NaN: none
  for (const auto& p : memory.Parameters()) {
    StoredPatchParameter& stored = p->Stored();
    if (stored.ignoresProgramChange) continue;
    const std::string a = stored.SlotText(request.parentA);
    const std::string b = stored.SlotText(request.parentB);
    stored.SetSlotText(request.child, ChildText(*p, a, b, mutation, random));
  }
  return true;
}

bool BreedForModule(CUG& module, const BreedRequest& request) {
  CPatchManager* stored = module.NearestPatchMemory();
  PatchMemory* memory = PatchMemory::Of(stored);
  if (memory == nullptr || !BreedProgram(*memory, request)) return false;
  CContainer* owner = OwnerOf(*stored, module.Parent());
  if (request.switchToChild && owner != nullptr && owner->CurrentProgram() != request.child) {
    owner->SetProgram(request.child);
  } else if (stored->CurrentPatch() == request.child) {
    memory->ApplyAll(request.child);  // playing already: the new values sound now
  }
  return true;
}

}  // namespace kr
