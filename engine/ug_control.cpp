#include "engine/ug_control.h"

#include <algorithm>
#include <bit>

#include "engine/audio_master.h"
#include "engine/audio_master_host.h"
#include "engine/control_automation.h"
#include "engine/dsp_to_ui_que.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"

namespace kr {

ug_control::ug_control() { SetProcessFunction(&ug_base::SleepCheck); }

void ug_control::Open() {
  ug_base::Open();
  if (automation != nullptr) automation->RegisterControl(*this);
}

void ug_control::HandleEvent(ug_event* event) {
  switch (event->type) {
    case UET_PROG_CHANGE:
      ProgramChange(event->value);
      break;
    case UET_CONTROL_VALUE:
      // A controller's value: kept for the current program, not sent out again.
      if (SetFromMidi(std::bit_cast<float>(event->extra))) KeepAudioValue(CurrentValue());
      break;
    default:
      ug_base::HandleEvent(event);
      break;
  }
}

void ug_control::OnUiNotify(int kind, int value) {
  Wake();
  switch (kind) {
    case 1:
      ApplyValue(-1, true);
      ReportMove();
      break;
    case 2:
      ApplyValue(-1, false);
      break;
    default:
      ug_base::OnUiNotify(kind, value);
      break;
  }
}

void ug_control::ReportMove() {
  if (automation != nullptr) automation->ReportControl(clock, ControllerNumber(), NrpnNumber(), NormalisedValue());
}

void ug_control::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && PlugCount() > kControllerPlug && c->to == GetPlug(kControllerPlug) && automation != nullptr)
    automation->RegisterControl(*this);
}

void ug_control::ProgramChange(int program) {
  if (ignoreProgramChange) return;
  if (program >= 0 && program < kPrograms) currentProgram_ = program;
  ApplyValue(program, false);
}

void ug_control::LoadProgramValues(std::span<const std::int32_t> values, int currentProgram) {
  const std::size_t n = std::min(values.size(), programValues_.size());
  std::copy_n(values.begin(), n, programValues_.begin());
  currentProgram_ = currentProgram >= 0 && currentProgram < kPrograms ? currentProgram : 0;
}

std::int32_t ug_control::ProgramValue(int program) const {
  const int slot = program >= 0 && program < kPrograms ? program : currentProgram_;
  return programValues_[static_cast<std::size_t>(slot)];
}

void ug_control::ReadValues(my_input_stream& stream, int first, int count) {
  for (int i = 0; i < count; ++i) programValues_[static_cast<std::size_t>(first + i)] = stream.ReadInt();
}

void ug_control::OnGuiMessage(std::int32_t id, my_input_stream& stream) {
  if (id != kMsgControlValue) {
    ug_base::OnGuiMessage(id, stream);
    return;
  }
  std::uint8_t kind = 0;
  stream >> kind;
  const std::int32_t program = stream.ReadInt();
  const std::int32_t count = stream.ReadInt();
  // A message this side does not understand is read no further (the queue
  // ends it at its own length).
  if (program < 0 || program >= kPrograms) return;
  if (count == kPrograms) {
    ReadValues(stream, 0, kPrograms);
  } else if (count == 1) {
    ReadValues(stream, program, 1);
  } else {
    return;
  }
  if (kind == kStoreOnly) return;
  // A control that ignores program changes plays program 0's value, its
  // only one; a program switch (or a chunk) may still change that.
  if (kind == kProgramSwitch && !ignoreProgramChange) currentProgram_ = program;
  if ((kind != kMoved && kind != kProgramSwitch) || program != currentProgram_)
    return;  // a value of a program this side has left
  const int notifyKind = kind == kMoved ? 1 : 2;
  KrAudioMaster* master = audioMaster;
  if (master == nullptr || !master->running.load(std::memory_order_acquire)) {
    OnUiNotify(notifyKind, 0);
    return;
  }
  // At the engine's time, as a notification from the panel would be.
  AddEvent(NewEvent(master->now, UET_UI_NOTIFY, notifyKind, nullptr, 0), true);
}

void ug_control::SetFromHost(float value) {
  Wake();
  if (!SetFromMidi(value)) return;
  KeepAudioValue(CurrentValue());
  ReportMove();
}

void ug_control::KeepAudioValue(std::int32_t value) {
  programValues_[static_cast<std::size_t>(currentProgram_)] = value;
  dsp_to_ui_que* queue = audioMaster != nullptr ? audioMaster->Host().GuiQueue() : nullptr;
  if (queue == nullptr || handle == 0) return;
  my_msg_que_output_stream out(*queue, handle, kMsgControlValue);
  out << static_cast<std::int32_t>(currentProgram_) << value;
  out.Send();
}

}  // namespace kr
