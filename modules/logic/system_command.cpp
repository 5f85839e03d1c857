#include "modules/logic/system_command.h"

#include "engine/audio_master.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_system_command::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_system_command> kPlugs[] = {
      {.at = PN_TRIGGER,
       .name = "Trigger in",
       .defaultText = "0",
       .hint = "Whenever this input exceeds 3.33 Volts, the DOS command is executed.",
       .bind = &ug_system_command::trigger_},
      {.at = PN_COMMAND,
       .name = "Command",
       .type = DT_TEXT,
       .hint = "The DOS command to execute.",
       .bind = &ug_system_command::command_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_system_command::Open() {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  spacing_ = rate >= 4.0 && rate <= 1e6 ? static_cast<int>(rate) / 4 : 11025;
  input_ = {};
  started_ = false;
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
}

void ug_system_command::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c == nullptr || c->to != GetPlug(PN_TRIGGER)) return;
  if (state == ST_RUN) {
    SetProcessFunction(&ug_system_command::Scan);
    return;
  }
  Edge(input_.Rises(kr::SampleAt(*this, trigger_, time)), time);
  SetProcessFunction(&ug_base::SleepCheck);
}

void ug_system_command::Edge(bool rises, int time) {
  if (!rises || command_.empty()) return;
  if (started_ && time - lastStart_ < spacing_) return;
  started_ = true;
  lastStart_ = time;
  ++requests_;
  if (audioMaster == nullptr) return;
  const bool tooLong = command_.size() > kMaxCommandBytes;
  audioMaster->Host().PostCommand(*this, tooLong ? std::string_view{} : std::string_view(command_), tooLong);
}

void ug_system_command::Scan(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) Edge(input_.Rises(trigger_[i]), clock + (i - offset));
}

}  // namespace kr
