// Base of the modules whose output is a function of the current samples of
// their audio inputs (Multiply, Divide, Subtract, Ring Modulator / Level Adj,
// Comparator, Clipper, Quantiser). The output streams while any input does,
// through one renderer per set of streaming inputs (the others' samples
// held for the stretch); otherwise the module computes one value, writes it
// for a settle period and sleeps. A zero-absorbing module (a product) is
// also static while an input that does not stream holds exactly 0.
//
// Derived supplies kInputPlugs (plug index of each input), kOutputPlug,
// kAbsorbsZero and `float Compute(const std::array<float, N>&) const`, and
// may hide Prepare() to take its settings before each change is applied.
#pragma once

#include <array>
#include <utility>

#include "engine/ug_base.h"
#include "modules/render_table.h"
#include "modules/signal_helpers.h"

namespace kr {

template <class Derived, int N>
class ug_math_base : public ug_base {
 public:
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
    ChooseProcess(clock);
  }
  void OnPlugStateChange(int time, connector*, PlugState) override { ChooseProcess(time); }

 protected:
  void Prepare() {}

  std::array<float*, N> in_{};
  float* out_ = nullptr;

 private:
  void ChooseProcess(int time) {
    Derived& self = static_cast<Derived&>(*this);
    self.Prepare();
    unsigned mask = 0;
    bool zero = false;
    for (int k = 0; k < N; ++k) {
      held_[static_cast<std::size_t>(k)] = kr::SampleAt(*this, in_[static_cast<std::size_t>(k)], time);
      if (GetPlug(Derived::kInputPlugs[k])->state == ST_RUN) {
        mask |= 1u << k;
      } else if (held_[static_cast<std::size_t>(k)] == 0.0f) {
        zero = true;
      }
    }
    UPlug* out = GetPlug(Derived::kOutputPlug);
    const bool absorbed = Derived::kAbsorbsZero && zero;
    if (mask == 0 || absorbed) {
      constant_ = absorbed ? 0.0f : self.Compute(held_);
      StartSettling(&ug_math_base::Settle);
      out->SetState(time, ST_STATIC);
      return;
    }
    out->SetState(time, ST_RUN);
    // Bit k of the index: input k streams.
    static constexpr auto kRenders = kr::RenderTable<(std::size_t{1} << N)>(
        [](auto i) { return &ug_math_base::template Render<decltype(i)::value>; });
    SetProcessFunction(kRenders[mask]);
  }

  template <std::size_t Mask>
  void Render(int offset, int count) {
    const Derived& self = static_cast<const Derived&>(*this);
    std::array<float, N> v = held_;
    for (int i = offset; i < offset + count; ++i) {
      for (int k = 0; k < N; ++k)
        if ((Mask >> k) & 1u) v[static_cast<std::size_t>(k)] = in_[static_cast<std::size_t>(k)][i];
      out_[i] = self.Compute(v);
    }
  }

  void Settle(int offset, int count) { kr::SettleFill(*this, out_, constant_, offset, count); }

  std::array<float, N> held_{};
  float constant_ = 0.0f;
};

}  // namespace kr
