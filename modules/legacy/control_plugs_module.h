// "Control Plugs": a growing list of value plugs ("Spare Value", renamed
// after what they are wired to) whose arriving values the module hands back
// to its document module ("updt"), so each plug shows the value it carries
// as a control shows its own. Our choices: float values written with "%g",
// at most 20 reports a second, the latest value of each changed plug; voice
// copies stay quiet.
#pragma once

#include <memory>
#include <vector>

#include "engine/ug_base.h"

namespace kr {

class ug_control_plugs : public ug_base {
 public:
  enum PlugIndex { PN_FIRST_VALUE };
  static constexpr int kReportsPerSecond = 20;

  ug_control_plugs();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_control_plugs>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

 private:
  static void Report(ug_base& module);
  int Period() const;

  std::vector<unsigned char> changed_;  // per plug, made at Open
  bool reportQueued_ = false;
  int lastReport_ = 0;
  bool reportedOnce_ = false;
};

}  // namespace kr
