// "OS Command": each rise of "Trigger in" (logic hysteresis: above 3.33 V)
// asks the GUI side to start the "Command" text as a program with its
// arguments (the audio thread never starts a process). At most one start
// per edge, and none within a quarter second of the last one.
#pragma once

#include <memory>
#include <string>

#include "dsp/logic_levels.h"
#include "engine/ug_base.h"

namespace kr {

class ug_system_command : public ug_base {
 public:
  enum PlugIndex { PN_TRIGGER, PN_COMMAND };
  // Longer command lines are not sent (they would crowd the message ring).
  static constexpr std::size_t kMaxCommandBytes = 2048;

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_system_command>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;

  int Requests() const { return requests_; }

 private:
  void Scan(int offset, int count);
  void Edge(bool rises, int time);

  float* trigger_ = nullptr;
  std::string command_;
  kr::dsp::LogicInput input_;
  int spacing_ = 11025;  // samples between starts, at least
  int lastStart_ = 0;
  bool started_ = false;
  int requests_ = 0;
};

}  // namespace kr
