#include "modules/logic/counters.h"

#include <string>

#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

// --- the shared running ------------------------------------------------------------------

template <class Derived, int Inputs>
void ug_counter_base<Derived, Inputs>::Open() {
  smoothers_.clear();
  for (int i = Inputs; i < PlugCount(); ++i) {
    UPlug* plug = GetPlug(i);
    if (plug->direction != DR_OUT || plug->type != DT_AUDIO) continue;
    smoothers_.emplace_back();
    smoothers_.back().Init(OutputSmoother::kLinear, 4);
  }
  int k = 0;
  for (int i = Inputs; i < PlugCount(); ++i) {
    UPlug* plug = GetPlug(i);
    if (plug->direction == DR_OUT && plug->type == DT_AUDIO) smoothers_[static_cast<std::size_t>(k++)].Bind(plug, BlockLength());
  }
  for (int n = 0; n < Inputs; ++n) in_[static_cast<std::size_t>(n)] = GetPlug(n)->GetSampleBuffer();
  streaming_ = false;
  SetProcessFunction(&ug_counter_base::Run);
  ug_base::Open();
  // The starting outputs (a step counter's first output is high).
  for (int output = 0; output < OutputCount(); ++output)
    smoothers_[static_cast<std::size_t>(output)].Jump(clock, static_cast<Derived&>(*this).Level(output));
}

template <class Derived, int Inputs>
void ug_counter_base<Derived, Inputs>::OnPlugStateChange(int time, connector*, PlugState) {
  streaming_ = false;
  for (int n = 0; n < Inputs; ++n) {
    held_[static_cast<std::size_t>(n)] = kr::SampleAt(*this, in_[static_cast<std::size_t>(n)], time);
    streaming_ = streaming_ || GetPlug(n)->state == ST_RUN;
  }
  if (static_cast<Derived&>(*this).Tick(held_, time == 0)) SetOutputs(time);
  SetProcessFunction(&ug_counter_base::Run);
}

template <class Derived, int Inputs>
void ug_counter_base<Derived, Inputs>::SetOutputs(int time) {
  const Derived& self = static_cast<const Derived&>(*this);
  for (int output = 0; output < OutputCount(); ++output) {
    OutputSmoother& s = smoothers_[static_cast<std::size_t>(output)];
    const float level = self.Level(output);
    if (level != s.Target()) s.Set(time, level);
  }
}

template <class Derived, int Inputs>
void ug_counter_base<Derived, Inputs>::ProcessOutputs(int time, int offset, int count) {
  for (OutputSmoother& s : smoothers_) s.Process(time, offset, count);
}

template <class Derived, int Inputs>
void ug_counter_base<Derived, Inputs>::Run(int offset, int count) {
  int done = 0;
  if (streaming_) {
    Derived& self = static_cast<Derived&>(*this);
    std::array<float, Inputs> v{};
    for (int i = 0; i < count; ++i) {
      for (int n = 0; n < Inputs; ++n) v[static_cast<std::size_t>(n)] = in_[static_cast<std::size_t>(n)][offset + i];
      const int time = clock + i;
      if (!self.Tick(v, time == 0)) continue;
      // The outputs up to this sample first, then the change from it on.
      ProcessOutputs(clock + done, offset + done, i - done);
      done = i;
      SetOutputs(time);
    }
  }
  ProcessOutputs(clock + done, offset + done, count - done);
  if (streaming_) return;
  for (const OutputSmoother& s : smoothers_)
    if (!s.Finished()) return;
  SetProcessFunction(&ug_base::SleepCheck);
}

// --- the counters -------------------------------------------------------------------------

namespace {

void ListClockAndReset(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_base>{.name = "Clock"});
  ListPlug(list, PlugDecl<ug_base>{.name = "Reset"});
}

void ListBits(InterfaceList& list, int count) {
  for (int k = 0; k < count; ++k) {
    // Built in place: GCC 12 at -O3 warns (-Wrestrict) on "B" + to_string.
    std::string name(1, 'B');
    name.append(std::to_string(k));
    ListPlug(list, PlugDecl<ug_base>{.name = name, .direction = DR_OUT});
  }
}

}  // namespace

void ug_logic_counter::ListInterface(InterfaceList& list) {
  ListClockAndReset(list);
  ListPlug(list, PlugDecl<ug_logic_counter>{.name = "Out", .direction = DR_OUT, .flags = PF_AUTO_DUPLICATE});
}

bool ug_logic_counter::Tick(const std::array<float, 2>& v, bool atTimeZero) {
  return counter_.Tick(v[0], v[1], OutputCount(), atTimeZero && IgnoresEdgeAtZero());
}

void ug_logic_decade::ListInterface(InterfaceList& list) {
  ListClockAndReset(list);
  ListBits(list, 10);
}

void ug_logic_Bin_Count::ListInterface(InterfaceList& list) {
  ListClockAndReset(list);
  ListBits(list, 8);
}

void ug_logic_shift::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_logic_shift> kPlugs[] = {
      {.name = "Clock"},
      {.name = "Input"},
      {.name = "Reset"},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  ListBits(list, 10);
}

template class ug_counter_base<ug_logic_counter, 2>;
template class ug_counter_base<ug_logic_Bin_Count, 2>;
template class ug_counter_base<ug_logic_shift, 3>;

}  // namespace kr
