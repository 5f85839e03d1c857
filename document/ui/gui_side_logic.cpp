#include "document/ui/gui_side_logic.h"

#include "document/cug.h"
#include "registry/module_info.h"

namespace kr::ui {

std::unique_ptr<has_features> MakeGuiSideLogic(CUG& module) {
  const Module_Info* entry = module.Entry();
  if (entry == nullptr) return nullptr;
  const std::string_view name = entry->name;
  for (auto maker : {&MakeValueConverter, &MakeBoolListModule, &MakeReleaseAction, &MakePatchValueLogic})
    if (auto logic = maker(module, name)) return logic;
  return nullptr;
}

}  // namespace kr::ui
