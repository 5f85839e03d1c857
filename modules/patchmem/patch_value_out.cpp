#include "modules/patchmem/patch_value_out.h"

#include <bit>
#include <cmath>

#include "modules/patchmem/plug_flags.h"

using namespace patchmem_plugs;

namespace {

const PlugDescriptor kFloatOut[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value", DR_IN, DT_FLOAT, "", "", kPatchValueIn},
    {"P", DR_OUT, DT_FLOAT, "", "", kHiddenPatchValueIn},
    {"Value In", DR_IN, DT_FLOAT},  // the audio half's input
    {"Animation Position", DR_IN, DT_FLOAT, "", "", kGui},
    {"Min Value", DR_IN, DT_FLOAT, "0", "", kGui},
    {"Max Value", DR_IN, DT_FLOAT, "10", "", kGui},
};

const PlugDescriptor kFloatOutB[] = {
    {"Name", DR_IN, DT_TEXT, "", "", kGui},
    {"Value Out", DR_OUT, DT_FLOAT, "", "", kGui},
    {"P", DR_OUT, DT_FLOAT, "", "", kHiddenPatchValueIn},
    {"Value In", DR_IN, DT_FLOAT},  // the audio half's input
    {"V", DR_IN, DT_FLOAT, "", "", kHiddenPatchValueIn},
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
