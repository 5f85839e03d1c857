#include "modules/env/env_8_stage.h"

#include <algorithm>
#include <string>

#include "registry/plug_declaration.h"

namespace kr {

namespace {
constexpr const char* kRateDefaults[ug_8_stage::kStages] = {"2", "5", "6", "3", "6", "6", "6", "6"};
constexpr const char* kLevelDefaults[ug_8_stage::kStages] = {"10", "6", "8", "2", "0", "0", "0", "0"};
}  // namespace

std::unique_ptr<ug_base> ug_8_stage::CreateSame() { return std::make_unique<ug_8_stage>(); }

void ug_8_stage::ListInterface(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_8_stage>{.at = PN_GATE, .name = "Gate",
                                      .defaultText = "1",
                                      .flags = PF_CONTROL,
                                      .hint = "Triggers the Attack phase when greater then 0 V "});
  for (int k = 0; k < kStages; ++k) {
    ListPlug(list, PlugDecl<ug_8_stage>{.name = "Rate " + std::to_string(k),
                                        .defaultText = kRateDefaults[k],
                                        .flags = PF_CONTROL,
                                        .hint = "Segment rate ( 0 - fastest, 10 - slowest )"});
    ListPlug(list, PlugDecl<ug_8_stage>{.name = "Level " + std::to_string(k),
                                        .defaultText = kLevelDefaults[k],
                                        .flags = PF_CONTROL,
                                        .hint = "End level    (0 - 10V)"});
  }
  ListPlug(list,
           PlugDecl<ug_8_stage>{.at = PN_OVERALL, .name = "Overall Level",
                                .defaultText = "10",
                                .flags = PF_CONTROL,
                                .hint = "Controls the overall output level.  Handy for adding Velocity sensitivity"});
  ListPlug(list, PlugDecl<ug_8_stage>{.at = PN_OUT, .name = "Signal Out", .direction = DR_OUT, .defaultText = "0"});
  ListPlug(list, *this,
           PlugDecl<ug_8_stage>{.at = PN_SUS_SEG, .name = "Sus Seg",
                                .type = DT_ENUM,
                                .defaultText = "2",
                                .list = "None=10,0=0,1,2,3,4,5,6,7",
                                .hint = "Which segment to 'hold' at until key is released",
                                .bind = &ug_8_stage::susSeg_});
  ListPlug(list, *this,
           PlugDecl<ug_8_stage>{.at = PN_END_SEG, .name = "End Seg",
                                .type = DT_ENUM,
                                .defaultText = "4",
                                .list = "range 0,7",
                                .hint = "Which segment to stop at, subsequent segments are ignored.",
                                .bind = &ug_8_stage::endSeg_});
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

}  // namespace kr
