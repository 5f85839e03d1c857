#include "modules/osc/test_tone.h"

#include <cmath>
#include <numbers>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

std::unique_ptr<ug_base> ug_test_tone::CreateSame() { return std::make_unique<ug_test_tone>(); }

void ug_test_tone::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_test_tone> kPlugs[] = {
      {.name = "Signal Out",
       .direction = DR_OUT,
       .defaultText = "0",
       .hint = "Output Signal",
       .bind = &ug_test_tone::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_test_tone::Open() {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  step_ = 2.0 * std::numbers::pi * 1000.0 / (rate > 0.0 ? rate : 44100.0);
  angle_ = 0.0;
  SetProcessFunction(&ug_test_tone::Generate);
  ug_base::Open();
  GetPlug(0)->SetState(clock, ST_RUN);
}

void ug_test_tone::Generate(int offset, int count) {
  constexpr double kTwoPi = 2.0 * std::numbers::pi;
  for (int i = 0; i < count; ++i) {
    angle_ += step_;
    out_[offset + i] = static_cast<float>(0.5 * std::sin(angle_));
    if (angle_ > kTwoPi) angle_ -= kTwoPi;
  }
}

}  // namespace kr
