#include "modules/env/adsr.h"



std::unique_ptr<ug_base> ug_adsr::CreateSame() { return std::make_unique<ug_adsr>(); }

void ug_adsr::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Gate", DR_IN, DT_AUDIO, "1", "", PF_CONTROL,
                    "Triggers the Attack phase when greater then 0 V ");
  list.emplace_back(nullptr, nullptr, "Attack", DR_IN, DT_AUDIO, "0", "", PF_CONTROL,
                    "Controls the rate of the attack, 0 V is quickest, 10 V slowest");
  list.emplace_back(nullptr, nullptr, "Decay", DR_IN, DT_AUDIO, "5", "", PF_CONTROL, "The Decay rate");
  list.emplace_back(nullptr, nullptr, "Sustain", DR_IN, DT_AUDIO, "7", "", PF_CONTROL,
                    "The 'hold' level, while the gate is high (key is down)");
  list.emplace_back(nullptr, nullptr, "Release", DR_IN, DT_AUDIO, "4", "", PF_CONTROL, "The Release rate");
  list.emplace_back(nullptr, nullptr, "Overall Level", DR_IN, DT_AUDIO, "10", "", PF_CONTROL,
                    "Controls the overall output level.  Handy for adding Velocity sensitivity");
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "0");
}

void ug_adsr::ConfigureSegments() {
  segments_ = {};
  segments_[0].ratePlug = GetPlug(PN_ATTACK);
  segments_[0].fixedLevel = 1.0f;
  segments_[1].ratePlug = GetPlug(PN_DECAY);
  segments_[1].levelPlug = GetPlug(PN_SUSTAIN);
  segments_[2].ratePlug = GetPlug(PN_RELEASE);
  segments_[2].fixedLevel = 0.0f;
  sustain_ = 1;
  end_ = 2;
}
