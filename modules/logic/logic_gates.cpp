#include "modules/logic/logic_gates.h"

#include <algorithm>

#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

// --- the gates of many inputs ---------------------------------------------------------

void ug_logic_gate::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_logic_gate> kPlugs[] = {
      {.at = PN_OUTPUT, .name = "Output", .direction = DR_OUT, .bind = &ug_logic_gate::out_},
      {.at = PN_FIRST_INPUT, .name = "Input", .flags = PF_CONTROL | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_logic_gate::Open() {
  ins_.clear();
  inPlugs_.clear();
  for (int i = PN_FIRST_INPUT; i < PlugCount(); ++i) {
    UPlug* plug = GetPlug(i);
    if (plug->direction != DR_IN || plug->type != DT_AUDIO) continue;
    inPlugs_.push_back(plug);
    ins_.push_back(plug->GetSampleBuffer());
  }
  levels_.assign(ins_.size(), 0);
  streaming_.clear();
  streaming_.reserve(ins_.size());
  value_ = kr::dsp::GateOutput(kind_, 0, static_cast<int>(ins_.size())) ? kr::dsp::kLogicTrueLevel : 0.0f;
  StartSettling(&ug_logic_gate::Settle);
  ug_base::Open();
  GetPlug(PN_OUTPUT)->SetState(clock, ST_STATIC);
}

void ug_logic_gate::OnPlugStateChange(int time, connector* c, PlugState state) {
  streaming_.clear();
  for (std::size_t k = 0; k < inPlugs_.size(); ++k) {
    if (inPlugs_[k]->state == ST_RUN) {
      streaming_.push_back(static_cast<int>(k));
    } else if (c != nullptr && c->to == inPlugs_[k]) {
      levels_[k] = kr::dsp::LogicLevel(levels_[k] != 0, kr::SampleAt(*this, ins_[k], time)) ? 1 : 0;
    }
  }
  Apply(time);
  if (!streaming_.empty()) {
    SetProcessFunction(&ug_logic_gate::Scan);
  } else {
    StartSettling(&ug_logic_gate::Settle);
  }
}

void ug_logic_gate::Apply(int time) {
  const int high = static_cast<int>(std::count(levels_.begin(), levels_.end(), 1));
  const float v = kr::dsp::GateOutput(kind_, high, static_cast<int>(levels_.size())) ? kr::dsp::kLogicTrueLevel : 0.0f;
  if (v == value_) return;
  value_ = v;
  GetPlug(PN_OUTPUT)->SetState(time, ST_STATIC);
}

void ug_logic_gate::Scan(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    bool changed = false;
    for (int k : streaming_) {
      const auto index = static_cast<std::size_t>(k);
      const char level = kr::dsp::LogicLevel(levels_[index] != 0, ins_[index][i]) ? 1 : 0;
      if (level == levels_[index]) continue;
      levels_[index] = level;
      changed = true;
    }
    if (changed) Apply(clock + (i - offset));
    out_[i] = value_;
  }
}

void ug_logic_gate::Settle(int offset, int count) { kr::SettleFill(*this, out_, value_, offset, count); }

// --- NOT -------------------------------------------------------------------------------

void ug_logic_not::Open() {
  level_ = false;
  value_ = kr::dsp::kLogicTrueLevel;
  ug_generic_1_1::Open();
  GetPlug(1)->SetState(clock, ST_STATIC);
}

void ug_logic_not::OnPlugStateChange(int time, connector* c, PlugState state) {
  Wake();
  if (state == ST_RUN) {
    SetProcessFunction(&ug_logic_not::BlockFunction);
    return;
  }
  Apply(kr::dsp::LogicLevel(level_, kr::SampleAt(*this, in_ptr, time)), time);
  StartSettling(&ug_generic_1_1::SettleBlock);
}

void ug_logic_not::Apply(bool level, int time) {
  if (level == level_) return;
  level_ = level;
  value_ = level ? 0.0f : kr::dsp::kLogicTrueLevel;
  GetPlug(1)->SetState(time, ST_STATIC);
}

void ug_logic_not::BlockFunction(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) {
    Apply(kr::dsp::LogicLevel(level_, in_ptr[i]), clock + (i - offset));
    out_ptr[i] = value_;
  }
}

}  // namespace kr
