#include "modules/logic/voltage_to_enum.h"

#include <string>

#include "modules/signal_helpers.h"
#include "registry/item_list.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

// Lists longer than this are cut (an item list text is untrusted).
constexpr int kMaxItems = 65536;

}  // namespace

std::unique_ptr<ug_base> ug_voltage_to_enum::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  auto& other = static_cast<ug_voltage_to_enum&>(*copy);
  other.values_ = values_;
  other.listGiven_ = listGiven_;
  return copy;
}

void ug_voltage_to_enum::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_voltage_to_enum> kPlugs[] = {
      {.at = PN_IN,
       .name = "Signal in",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "Input signal",
       .bind = &ug_voltage_to_enum::in_},
      {.at = PN_LIST_OUT,
       .name = "List Out",
       .direction = DR_OUT,
       .type = DT_ENUM,
       .bind = &ug_voltage_to_enum::listOut_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_voltage_to_enum::UseItemList(std::string_view listText) {
  values_.clear();
  EnumListIterator items(listText);
  for (items.First(); !items.IsDone() && static_cast<int>(values_.size()) < kMaxItems; items.Next())
    values_.push_back(static_cast<std::int16_t>(items.CurrentValue()));
  listGiven_ = true;
}

void ug_voltage_to_enum::Open() {
  if (!listGiven_) UseItemList({});
  chooser_ = {};
  chooser_.count = static_cast<int>(values_.size());
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
}

void ug_voltage_to_enum::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->to != GetPlug(PN_IN)) return;
  if (state == ST_RUN) {
    SetProcessFunction(&ug_voltage_to_enum::Scan);
    return;
  }
  Choose(kr::SampleAt(*this, in_, time), time);
  SetProcessFunction(&ug_base::SleepCheck);
}

void ug_voltage_to_enum::Choose(float x, int time) {
  if (!chooser_.Leaves(x)) return;
  const int d = chooser_.Choose(x);
  if (d < 0) return;
  const std::int16_t value = values_[static_cast<std::size_t>(d)];
  if (value == listOut_) return;
  listOut_ = value;
  GetPlug(PN_LIST_OUT)->SetState(time, ST_STATIC);
}

void ug_voltage_to_enum::Scan(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) Choose(in_[i], clock + (i - offset));
}

}  // namespace kr
