// A container's programs: the current one, their names, and the set-program
// steps that the patch memory, the container's parameters and its children
// follow.
#include <algorithm>

#include "document/container.h"

namespace kr {

int CContainer::CurrentProgram() const { return patchMemory_ ? patchMemory_->CurrentPatch() : program_; }

std::string CContainer::ProgramName(int program) const {
  if (const CPatchManager* memory = NearestPatchMemory()) return memory->PatchName(program);
  return CPatchManager().PatchName(program);
}

void CContainer::RenameCurrentProgram(std::string name) {
  CPatchManager* memory = NearestPatchMemory();
  if (memory == nullptr || name == ProgramName(CurrentProgram())) return;
  memory->SetPatchName(CurrentProgram(), std::move(name));
  ContainerParameter(parameter_cug_xtra::kProgramName).Announce();
}

void CContainer::SetProgram(int program) {
  if (program < 0 || program >= CPatchManager::kPatchCount) return;
  if (patchMemory_) patchMemory_->SetCurrentPatch(program);
  program_ = program;
  ContainerParameter(parameter_cug_xtra::kProgram).Announce(generic_parameter::kChangeFromProgram);
  Notify(NC_CONTAINER_PROGRAM);
  ContainerParameter(parameter_cug_xtra::kProgramName).Announce(generic_parameter::kChangeFromProgram);
  // A child may change the tree while it follows: walk a snapshot and skip
  // any child that has gone meanwhile.
  std::vector<CDocOb*> children;
  children.reserve(Children().size());
  for (const auto& c : Children()) children.push_back(c.get());
  for (CDocOb* child : children)
    if (auto* module = DynamicKind<CUG>(child); module != nullptr && HasChild(child)) module->FollowProgram(program);
  Notify(NC_CONTAINER_PROGRAM);
}

void CContainer::FollowProgram(int program) {
  if (Parent() != nullptr && !IgnoreProgramChange()) SetProgram(program);
}

void CContainer::SetSkinName(std::string name) {
  if (name == skinName) return;
  skinName = std::move(name);
  ContainerParameter(parameter_cug_xtra::kSkin).Announce();
  Notify(NC_SKIN);
}

}  // namespace kr
