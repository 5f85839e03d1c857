#include "modules/patchmem/patch_value_relay.h"

#include "modules/patchmem/plug_flags.h"
#include "registry/module_info.h"

namespace kr {

using namespace patchmem_plugs;

namespace {

const PlugDescriptor kFloatIn[] = {
    {.name = "Name", .type = DT_TEXT, .flags = kGui},
    {.name = "Value", .type = DT_FLOAT, .flags = kPatchValue},
    {.name = "Animation Position", .type = DT_FLOAT, .flags = kGui},
    {.name = "Min Value", .type = DT_FLOAT, .defaultText = "0", .flags = kGui},
    {.name = "Max Value", .type = DT_FLOAT, .defaultText = "10", .flags = kGui},
    {.name = "Value Out", .direction = DR_OUT, .type = DT_FLOAT},
};

const PlugDescriptor kListIn2[] = {
    {.name = "Name", .type = DT_TEXT, .flags = kGui},
    {.name = "Value", .type = DT_ENUM, .flags = kPatchValue},
    {.name = "List Out",
     .direction = DR_OUT,
     .type = DT_ENUM,
     .flags = PF_ANY_LIST},  // takes the list of whatever it feeds
};

const PlugDescriptor kTextIn[] = {
    {.name = "Value", .type = DT_TEXT, .flags = kPatchValue},
    {.name = "Text Out", .direction = DR_OUT, .type = DT_TEXT},
    {.name = "File Dialog", .type = DT_BOOL, .flags = kGui},
    {.name = "Name", .type = DT_TEXT, .flags = kGui},
};

// The engine makes only the value input and the output: one plug of each
// direction and type.
UPlug* FindByDefinition(ug_base& module, const PlugDescriptor& def) {
  for (const auto& plug : module.plugs)
    if (plug->direction == def.direction && plug->type == def.type) return plug.get();
  return nullptr;
}

}  // namespace

std::span<const PlugDescriptor> PatchMemFloatInPlugs() { return kFloatIn; }
std::span<const PlugDescriptor> PatchMemListIn2Plugs() { return kListIn2; }
std::span<const PlugDescriptor> PatchMemTextInPlugs() { return kTextIn; }

ug_patch_value_relay::ug_patch_value_relay(std::span<const PlugDescriptor> table, int valueIndex, int outIndex)
    : table_(table), valueIndex_(valueIndex), outIndex_(outIndex) {
  SetProcessFunction(&ug_base::SleepCheck);
}

void ug_patch_value_relay::ListInterface(InterfaceList& list) {
  // The table, position for position (the document's plugs are made from
  // the same table); only the value input and the output reach the engine.
  for (const InterfaceObject& record : MakeInterfaceList(table_)) list.push_back(record);
}

void ug_patch_value_relay::Open() {
  ug_base::Open();
  PassOn(clock);
}

void ug_patch_value_relay::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && c->to != nullptr && c->to->owner == this && c->to->IsInput()) PassOn(time);
}

void ug_patch_value_relay::PassOn(int time) {
  UPlug* in = FindByDefinition(*this, table_[static_cast<std::size_t>(valueIndex_)]);
  UPlug* out = FindByDefinition(*this, table_[static_cast<std::size_t>(outIndex_)]);
  if (in == nullptr || out == nullptr || in->data == nullptr || out->data == nullptr) return;
  out->CopyValueFrom(*in);
  out->SetState(time, ST_STATIC);
}

ug_param_float_in2::ug_param_float_in2() : ug_patch_value_relay(kFloatIn, 1, 5) {}
ug_param_enum_in2::ug_param_enum_in2() : ug_patch_value_relay(kListIn2, 1, 2) {}
ug_param_text_in::ug_param_text_in() : ug_patch_value_relay(kTextIn, 0, 1) {}

}  // namespace kr
