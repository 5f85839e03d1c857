#include "modules/mix/ug_switch.h"

#include <algorithm>

#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

constexpr const char* kChoiceHint = "Chooses which output to route the input signal to.  Connect to a 'List Entry' module.";

int Clamp(int choice, int count) { return count <= 0 ? -1 : std::clamp(choice, 0, count - 1); }

}  // namespace

// --- 1 -> many ---------------------------------------------------------------------

void ug_switch::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_switch> kPlugs[] = {
      {.at = PN_CHOICE,
       .name = "Choice",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "{AUTO}",
       .hint = kChoiceHint,
       .bind = &ug_switch::choice_},
      {.at = PN_INPUT, .name = "Input", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_switch::in_},
      {.at = PN_FIRST_OUTPUT,
       .name = "Spare Output",
       .direction = DR_OUT,
       .flags = PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_switch::Open() {
  outs_.clear();
  for (int i = PN_FIRST_OUTPUT; i < PlugCount(); ++i)
    if (GetPlug(i)->direction == DR_OUT && GetPlug(i)->type == DT_AUDIO) outs_.push_back(GetPlug(i)->GetSampleBuffer());
  chosen_ = -1;
  zeroFill_ = 0;
  SetProcessFunction(&ug_switch::Route);
  ug_base::Open();
  Update(clock);
}

void ug_switch::OnPlugStateChange(int time, connector*, PlugState) { Update(time); }

void ug_switch::Update(int time) {
  const int next = Clamp(choice_, static_cast<int>(outs_.size()));
  const PlugState inState = GetPlug(PN_INPUT)->state;
  inputRuns_ = inState == ST_RUN;
  const PlugState carried = inputRuns_ ? ST_RUN : ST_STATIC;
  if (next != chosen_) {
    // The output left behind falls silent; every output not chosen gets
    // zeros for a whole period.
    if (chosen_ >= 0) GetPlug(PN_FIRST_OUTPUT + chosen_)->SetState(time, ST_STATIC);
    zeroFill_ = BlockLength();
    chosen_ = next;
  }
  if (chosen_ >= 0) GetPlug(PN_FIRST_OUTPUT + chosen_)->SetState(time, carried);
  StartSettling(&ug_switch::Route);
}

void ug_switch::Route(int offset, int count) {
  if (chosen_ >= 0) std::copy_n(in_ + offset, count, outs_[static_cast<std::size_t>(chosen_)] + offset);
  if (zeroFill_ > 0) {
    const int n = std::min(count, zeroFill_);
    for (std::size_t k = 0; k < outs_.size(); ++k)
      if (static_cast<int>(k) != chosen_) std::fill_n(outs_[k] + offset, n, 0.0f);
    zeroFill_ -= n;
  }
  // The zero fill starts with the settle period and never outlasts it.
  if (!inputRuns_) SettleStep(offset, count, [](int, int) {});
}

// --- many -> 1 ---------------------------------------------------------------------

void ug_switch2::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_switch2> kPlugs[] = {
      {.at = PN_CHOICE,
       .name = "Choice",
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "{AUTO}",
       .hint = kChoiceHint,
       .bind = &ug_switch2::choice_},
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT, .bind = &ug_switch2::out_},
      {.at = PN_FIRST_INPUT,
       .name = "Spare Input",
       .flags = PF_SIGNAL | PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_switch2::Open() {
  ins_.clear();
  for (int i = PN_FIRST_INPUT; i < PlugCount(); ++i)
    if (GetPlug(i)->direction == DR_IN && GetPlug(i)->type == DT_AUDIO) ins_.push_back(GetPlug(i)->GetSampleBuffer());
  chosen_ = -1;
  SetProcessFunction(&ug_switch2::Pass);
  ug_base::Open();
  Update(clock);
}

void ug_switch2::OnPlugStateChange(int time, connector* c, PlugState) {
  const bool choice = c != nullptr && c->to == GetPlug(PN_CHOICE);
  const bool chosenInput = c != nullptr && chosen_ >= 0 && c->to == GetPlug(PN_FIRST_INPUT + chosen_);
  // The other inputs' changes do not reach the output.
  if (choice || chosenInput) Update(time);
}

void ug_switch2::Update(int time) {
  chosen_ = Clamp(choice_, static_cast<int>(ins_.size()));
  inputRuns_ = chosen_ >= 0 && GetPlug(PN_FIRST_INPUT + chosen_)->state == ST_RUN;
  GetPlug(PN_OUTPUT)->SetState(time, inputRuns_ ? ST_RUN : ST_STATIC);
  StartSettling(&ug_switch2::Pass);
}

void ug_switch2::Pass(int offset, int count) {
  if (chosen_ >= 0) {
    std::copy_n(ins_[static_cast<std::size_t>(chosen_)] + offset, count, out_ + offset);
  } else {
    std::fill_n(out_ + offset, count, 0.0f);
  }
  if (!inputRuns_) SettleStep(offset, count, [](int, int) {});
}

}  // namespace kr
