#include "modules/logic/monostable.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_monostable::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_monostable> kPlugs[] = {
      {.at = PN_IN, .name = "Signal in", .defaultText = "0", .flags = PF_SIGNAL, .bind = &ug_monostable::in_},
      {.at = PN_LENGTH,
       .name = "Pulse Length",
       .defaultText = "0.1",
       .hint = "10 Volt = 1 Second",
       .bind = &ug_monostable::length_},
      {.at = PN_OUT, .name = "Signal Out", .direction = DR_OUT, .bind = &ug_monostable::out_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

int ug_monostable::PulseSamples(double sampleRate, float length) {
  // In single precision as the length is stored (0.01 at 44100 Hz is 441
  // samples); compared before the conversion: NaN and negative lengths give
  // one sample, absurd ones 2^30 samples (hours) at most.
  const float samples = length * static_cast<float>(sampleRate);
  constexpr float kLongest = 1073741824.0f;
  if (!(samples >= 1.0f)) return 1;
  return samples < kLongest ? static_cast<int>(samples) : static_cast<int>(kLongest);
}

void ug_monostable::Open() {
  input_ = {};
  value_ = 0.0f;
  remaining_ = 0;
  streaming_ = false;
  SetProcessFunction(&ug_monostable::Run);
  ug_base::Open();
}

void ug_monostable::Edge(bool rises, int time, float length) {
  if (!rises || remaining_ > 0) return;
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  remaining_ = PulseSamples(rate, length);
  value_ = kr::dsp::kLogicTrueLevel;
  GetPlug(PN_OUT)->SetState(time, ST_STATIC);
}

void ug_monostable::OnPlugStateChange(int time, connector* c, PlugState state) {
  streaming_ = GetPlug(PN_IN)->state == ST_RUN;
  if (c != nullptr && c->to == GetPlug(PN_IN) && state != ST_RUN)
    Edge(input_.Rises(kr::SampleAt(*this, in_, time)), time, kr::SampleAt(*this, length_, time));
  StartSettling(&ug_monostable::Run);
}

void ug_monostable::Run(int offset, int count) {
  int quietFrom = offset;
  for (int i = offset; i < offset + count; ++i) {
    const int time = clock + (i - offset);
    if (streaming_) Edge(input_.Rises(in_[i]), time, length_[i]);
    out_[i] = value_;
    if (remaining_ > 0 && --remaining_ == 0) {
      // This was the pulse's last sample; 0 V from the next one.
      value_ = 0.0f;
      GetPlug(PN_OUT)->SetState(time + 1, ST_STATIC);
      settleCount = BlockLength();
      quietFrom = i + 1;
    }
  }
  // The quiet samples (already written) count towards the settle period.
  if (!streaming_ && remaining_ <= 0) SettleStep(quietFrom, offset + count - quietFrom, [](int, int) {});
}

}  // namespace kr
