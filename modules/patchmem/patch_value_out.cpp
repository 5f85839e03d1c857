#include "modules/patchmem/patch_value_out.h"

#include <bit>
#include <cmath>

#include "modules/patchmem/plug_flags.h"

namespace kr {

using namespace patchmem_plugs;

namespace {

const PlugDescriptor kFloatOut[] = {
    {.name = "Name", .type = DT_TEXT, .flags = kGui},
    {.name = "Value", .type = DT_FLOAT, .flags = kPatchValueIn},
    {.name = "P", .direction = DR_OUT, .type = DT_FLOAT, .flags = kHiddenPatchValueIn},
    {.name = "Value In", .type = DT_FLOAT},  // the audio half's input
    {.name = "Animation Position", .type = DT_FLOAT, .flags = kGui},
    {.name = "Min Value", .type = DT_FLOAT, .defaultText = "0", .flags = kGui},
    {.name = "Max Value", .type = DT_FLOAT, .defaultText = "10", .flags = kGui},
};

const PlugDescriptor kFloatOutB[] = {
    {.name = "Name", .type = DT_TEXT, .flags = kGui},
    {.name = "Value Out", .direction = DR_OUT, .type = DT_FLOAT, .flags = kGui},
    {.name = "P", .direction = DR_OUT, .type = DT_FLOAT, .flags = kHiddenPatchValueIn},
    {.name = "Value In", .type = DT_FLOAT},  // the audio half's input
    {.name = "V", .type = DT_FLOAT, .flags = kHiddenPatchValueIn},
};

}  // namespace

std::span<const PlugDescriptor> PatchMemFloatOutPlugs() { return kFloatOut; }
std::span<const PlugDescriptor> PatchMemFloatOutBPlugs() { return kFloatOutB; }

ug_param_float_out2::ug_param_float_out2(std::span<const PlugDescriptor> table) : table_(table) {
  SetProcessFunction(&ug_base::SleepCheck);
}

void ug_param_float_out2::ListInterface(InterfaceList& list) {
  for (const InterfaceObject& record : MakeInterfaceList(table_)) list.push_back(record);
}

void ug_param_float_out2::Open() {
  ug_base::Open();
  Report();
}

void ug_param_float_out2::OnPlugStateChange(int, connector* c, PlugState) {
  if (c != nullptr && c->to != nullptr && c->to->owner == this) Report();
}

void ug_param_float_out2::Report() {
  if (reporter_ == nullptr) return;
  // The engine makes only "Value In" of this list.
  for (const auto& plug : plugs) {
    if (!plug->IsInput() || plug->type != DT_FLOAT || plug->data == nullptr) continue;
    const float value = plug->FloatValue();
    if (!std::isfinite(value)) return;  // a stored patch value is always a number
    const auto bits = std::bit_cast<std::int32_t>(value);
    if (reported_ && bits == lastBits_) return;
    reported_ = true;
    lastBits_ = bits;
    reporter_->ReportPatchValue(bits);
    return;
  }
}

ug_param_float_out2_position::ug_param_float_out2_position() : ug_param_float_out2(kFloatOut) {}
ug_param_float_out2_link::ug_param_float_out2_link() : ug_param_float_out2(kFloatOutB) {}

}  // namespace kr
