#include "modules/mix/ug_adder.h"

#include <algorithm>

#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

void InputArray_Float::AddSource(UPlug* output) { inputs.push_back({output, ST_STOP, 0.0f}); }

void InputArray_Float::RemoveSource(UPlug* output) {
  auto it = std::find_if(inputs.begin(), inputs.end(), [&](const adder_input_info& i) { return i.source == output; });
  if (it != inputs.end()) inputs.erase(it);
}

adder_input_info* InputArray_Float::Find(const UPlug* output) {
  for (auto& i : inputs)
    if (i.source == output) return &i;
  return nullptr;
}

ug_adder::ug_adder() { SetProcessFunction(&ug_adder::ProcessStatic); }

ug_adder::~ug_adder() {
  while (!plugs.empty()) plugs.pop_back();
}

void ug_adder::ListInterface(InterfaceList& list) {
  ListPlug(list, *this,
           PlugDecl<ug_adder>{.name = "Out", .direction = DR_OUT, .defaultText = "0", .bind = &ug_adder::out_});
  ListPlug(list, PlugDecl<ug_adder>{.name = "In", .defaultText = "0", .flags = PF_SUM | PF_SIGNAL}, inputs_);
}

void ug_adder::Open() {
  streams_.reserve(inputs_.inputs.size());
  SetProcessFunction(&ug_adder::ProcessStatic);
  ug_base::Open();
}

void ug_adder::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->from == nullptr) return;
  adder_input_info* info = inputs_.Find(c->from);
  if (info == nullptr) return;
  info->state = state;
  if (state != ST_RUN) {
    // A settled source: its latest sample is its value from now on.
    const float* samples = c->from->GetSampleBuffer();
    const int index = std::clamp(time - PeriodStart(), 0, BlockLength() - 1);
    info->value = samples != nullptr ? samples[index] : 0.0f;
  }
  Recompute(time);
}

void ug_adder::Recompute(int time) {
  constant_ = 0.0f;
  streams_.clear();
  for (const adder_input_info& i : inputs_.inputs) {
    if (i.state == ST_RUN) {
      streams_.push_back(i.source->GetSampleBuffer());
    } else {
      constant_ += i.value;
    }
  }
  UPlug* out = GetPlug(0);
  if (streams_.empty()) {
    StartSettling(&ug_adder::ProcessStatic);
    out->SetState(time, ST_STATIC);
  } else {
    SetProcessFunction(&ug_adder::ProcessStream);
    out->SetState(time, ST_RUN);
  }
}

void ug_adder::ProcessStatic(int offset, int count) {
  // Hold the constant for one whole period, then sleep.
  kr::SettleFill(*this, out_, constant_, offset, count);
}

void ug_adder::ProcessStream(int offset, int count) {
  float* dst = out_ + offset;
  const float* first = streams_[0] + offset;
  if (constant_ == 0.0f) {
    std::copy_n(first, count, dst);
  } else {
    for (int i = 0; i < count; ++i) dst[i] = constant_ + first[i];
  }
  for (std::size_t s = 1; s < streams_.size(); ++s) {
    const float* src = streams_[s] + offset;
    for (int i = 0; i < count; ++i) dst[i] += src[i];
  }
}

}  // namespace kr
