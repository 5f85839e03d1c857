// The audio halves of the patch-memory modules "PatchMemFloatIn"
// (ug_param_float_in2), "PatchMemListIn2" (ug_param_enum_in2) and "Patch Mem
// - Text in" (ug_param_text_in): each takes the program's value on its patch
// value input (set by the patch parameter's twin) and passes it on at the
// same instant. They sleep between changes.
#pragma once

#include <span>
#include <string>

#include "engine/ug_base.h"
#include "registry/module_info.h"

namespace kr {

class ug_patch_value_relay : public ug_base {
 public:
  // The module's plug list (the registry table) and the positions of its
  // value input and its output in it.
  ug_patch_value_relay(std::span<const PlugDescriptor> table, int valueIndex, int outIndex);
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 private:
  void PassOn(int time);

  std::span<const PlugDescriptor> table_;
  int valueIndex_;
  int outIndex_;
};

class ug_param_float_in2 final : public ug_patch_value_relay {
 public:
  ug_param_float_in2();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_param_float_in2>(); }
};

class ug_param_enum_in2 final : public ug_patch_value_relay {
 public:
  ug_param_enum_in2();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_param_enum_in2>(); }
};

class ug_param_text_in final : public ug_patch_value_relay {
 public:
  ug_param_text_in();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_param_text_in>(); }
};

// The registry tables of these modules.
std::span<const PlugDescriptor> PatchMemFloatInPlugs();
std::span<const PlugDescriptor> PatchMemListIn2Plugs();
std::span<const PlugDescriptor> PatchMemTextInPlugs();

}  // namespace kr
