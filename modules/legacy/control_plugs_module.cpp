#include "modules/legacy/control_plugs_module.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "engine/audio_master.h"
#include "engine/connector.h"
#include "registry/plug_declaration.h"

namespace kr {

ug_control_plugs::ug_control_plugs() { SetProcessFunction(&ug_base::SleepCheck); }

void ug_control_plugs::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_control_plugs> kPlugs[] = {
      {.at = PN_FIRST_VALUE,
       .name = "Spare Value",
       .type = DT_FLOAT,
       .defaultText = "0",
       .flags = PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT,
       .hint = "Shows the value wired to it"},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

int ug_control_plugs::Period() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  return std::max(1, static_cast<int>(rate / kReportsPerSecond));
}

void ug_control_plugs::Open() {
  changed_.assign(static_cast<std::size_t>(PlugCount()), 0);
  reportQueued_ = false;
  reportedOnce_ = false;
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
}

void ug_control_plugs::OnPlugStateChange(int time, connector* c, PlugState) {
  if (c == nullptr || (flags & UGF_CLONE) != 0) return;
  for (int i = 0; i < PlugCount(); ++i) {
    if (GetPlug(i) != c->to || GetPlug(i)->type != DT_FLOAT) continue;
    changed_[static_cast<std::size_t>(i)] = 1;
    if (!reportQueued_) {
      reportQueued_ = true;
      QueueCall(reportedOnce_ ? std::max(time, lastReport_ + Period()) : time, &ug_control_plugs::Report);
    }
  }
}

void ug_control_plugs::Report(ug_base& module) {
  auto& self = static_cast<ug_control_plugs&>(module);
  self.reportQueued_ = false;
  self.reportedOnce_ = true;
  self.lastReport_ = self.clock;
  for (std::size_t i = 0; i < self.changed_.size(); ++i) {
    if (self.changed_[i] == 0) continue;
    self.changed_[i] = 0;
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%g", static_cast<double>(self.GetPlug(static_cast<int>(i))->FloatValue()));
    if (n > 0 && self.audioMaster != nullptr)
      self.audioMaster->Host().PostPlugText(self, static_cast<std::int32_t>(i),
                                            std::string_view(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1)));
  }
}

}  // namespace kr
