#include "modules/logic/voltage_to_enum.h"

#include <string>

#include "document/cug.h"
#include "document/line2.h"
#include "document/plug2.h"
#include "modules/signal_helpers.h"
#include "registry/item_list.h"
#include "registry/plug_declaration.h"

namespace {

// Lists longer than this are cut (an item list text is untrusted).
constexpr int kMaxItems = 65536;

}  // namespace

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
  it_enum_list items(listText);
  for (items.First(); !items.IsDone() && static_cast<int>(values_.size()) < kMaxItems; items.Next())
    values_.push_back(static_cast<std::int16_t>(items.CurrentValue()));
  listGiven_ = true;
}

// The list of the plug "List Out" is wired to (or its own, when it has one).
void ug_voltage_to_enum::TakeListFromDocument() {
  const CPlug2* plug = docModule != nullptr ? docModule->FindPlug("List Out") : nullptr;
  if (plug == nullptr) return UseItemList({});
  std::string text = plug->ListText();
  for (const CLine2* wire : plug->Wires()) {
    const CPlug2* other = wire->From() == plug ? wire->To() : wire->From();
    if (other != nullptr && (text.empty() || IsAutoList(text))) text = other->ListText();
  }
  UseItemList(IsAutoList(text) ? std::string_view{} : std::string_view(text));
}

void ug_voltage_to_enum::Open() {
  if (!listGiven_) TakeListFromDocument();
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
