// A patch memory at run time: the parameters of one container's stored
// patch memory, in identifier order, applying every patch switch.
// GUI thread only.
#pragma once

#include <memory>
#include <vector>

#include "document/patch_manager.h"
#include "patch/patch_parameter.h"

namespace kr {

class CContainer;

class PatchMemory final : public PatchMemoryListener {
 public:
  explicit PatchMemory(CPatchManager& memory);
  ~PatchMemory();
  PatchMemory(const PatchMemory&) = delete;
  PatchMemory& operator=(const PatchMemory&) = delete;

  // The runtime of a stored memory, when one is attached to it.
  static PatchMemory* Of(const CPatchManager* memory);

  CPatchManager& Stored() { return memory_; }
  const std::vector<std::unique_ptr<PatchParameter>>& Parameters() const { return parameters_; }
  PatchParameter* FindByIdentifier(std::int32_t identifier) const;

  // Every parameter takes the patch's value (a switch, or a chunk load that
  // must apply even when the number stays the same).
  void ApplyAll(int patch);
  void OnCurrentPatchChanged(std::int32_t patch) override { ApplyAll(patch); }
  // The current patch's values into patch `destination`, named
  // "(Copy %d) %s" with the number 1 and the current patch's name.
  bool CopyCurrentTo(int destination);

 private:
  CPatchManager& memory_;
  std::vector<std::unique_ptr<PatchParameter>> parameters_;
};

// Runtimes for every patch memory of a document tree (the root's and those
// of containers holding "Patch Select"), each attached to its memory.
std::vector<std::unique_ptr<PatchMemory>> MakePatchMemories(CContainer& root);

}  // namespace kr
