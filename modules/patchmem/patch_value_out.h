// The audio half of "PatchMemFloatOut" and "PatchMemFloatOutB"
// (ug_param_float_out2): the value arriving on "Value In" becomes the
// module's patch value, so the panel and the host see what the audio side
// computed. Each distinct value is reported once, at the moment it arrives.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "engine/patch_value_report.h"
#include "engine/ug_base.h"
#include "registry/module_info.h"

namespace kr {

class ug_param_float_out2 : public ug_base, public PatchValueSource {
 public:
  explicit ug_param_float_out2(std::span<const PlugDescriptor> table);
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void WatchPatchValue(PatchValueReporter* reporter) override { reporter_ = reporter; }

 private:
  void Report();

  std::span<const PlugDescriptor> table_;
  PatchValueReporter* reporter_ = nullptr;
  bool reported_ = false;
  std::int32_t lastBits_ = 0;
};

// "PatchMemFloatOut": the panel shows the value as a position.
class ug_param_float_out2_position final : public ug_param_float_out2 {
 public:
  ug_param_float_out2_position();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_param_float_out2_position>(); }
};

// "PatchMemFloatOutB": the value goes on through "Value Out" on the panel side.
class ug_param_float_out2_link final : public ug_param_float_out2 {
 public:
  ug_param_float_out2_link();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_param_float_out2_link>(); }
};

std::span<const PlugDescriptor> PatchMemFloatOutPlugs();
std::span<const PlugDescriptor> PatchMemFloatOutBPlugs();

}  // namespace kr
