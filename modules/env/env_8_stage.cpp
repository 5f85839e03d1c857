#include "modules/env/env_8_stage.h"

#include <algorithm>
#include <string>


namespace {
constexpr const char* kRateDefaults[ug_8_stage::kStages] = {"2", "5", "6", "3", "6", "6", "6", "6"};
constexpr const char* kLevelDefaults[ug_8_stage::kStages] = {"10", "6", "8", "2", "0", "0", "0", "0"};
}  // namespace

std::unique_ptr<ug_base> ug_8_stage::CreateSame() { return std::make_unique<ug_8_stage>(); }

void ug_8_stage::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Gate", DR_IN, DT_AUDIO, "1", "", PF_CONTROL,
                    "Triggers the Attack phase when greater then 0 V ");
  for (int k = 0; k < kStages; ++k) {
    list.emplace_back(nullptr, nullptr, "Rate " + std::to_string(k), DR_IN, DT_AUDIO, kRateDefaults[k], "",
                      PF_CONTROL, "Segment rate ( 0 - fastest, 10 - slowest )");
    list.emplace_back(nullptr, nullptr, "Level " + std::to_string(k), DR_IN, DT_AUDIO, kLevelDefaults[k], "",
                      PF_CONTROL, "End level    (0 - 10V)");
  }
  list.emplace_back(nullptr, nullptr, "Overall Level", DR_IN, DT_AUDIO, "10", "", PF_CONTROL,
                    "Controls the overall output level.  Handy for adding Velocity sensitivity");
  list.emplace_back(nullptr, nullptr, "Signal Out", DR_OUT, DT_AUDIO, "0");
  list.emplace_back(&susSeg_, &typeid(std::int16_t), "Sus Seg", DR_IN, DT_ENUM, "2", "None=10,0=0,1,2,3,4,5,6,7", 0,
                    "Which segment to 'hold' at until key is released");
  list.emplace_back(&endSeg_, &typeid(std::int16_t), "End Seg", DR_IN, DT_ENUM, "4", "range 0,7", 0,
                    "Which segment to stop at, subsequent segments are ignored.");
}

void ug_8_stage::ConfigureSegments() {
  segments_ = {};
  for (int k = 0; k < kStages; ++k) {
    segments_[static_cast<std::size_t>(k)].ratePlug = GetPlug(RatePlug(k));
    segments_[static_cast<std::size_t>(k)].levelPlug = GetPlug(LevelPlug(k));
  }
  ReadLayout();
}

void ug_8_stage::ReadLayout() {
  // Values from a document or a panel may be anything: the end stays on a
  // real segment, and a sustain at or past it means none.
  end_ = std::clamp<int>(endSeg_, 0, kStages - 1);
  sustain_ = susSeg_ < 0 ? kStages + 2 : susSeg_;
}

void ug_8_stage::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && (c->to == GetPlug(PN_SUS_SEG) || c->to == GetPlug(PN_END_SEG))) {
    ReadLayout();
    SegmentLayoutChanged(time);
    return;
  }
  ug_envelope::OnPlugStateChange(time, c, state);
}
