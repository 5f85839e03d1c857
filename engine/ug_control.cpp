#include "engine/ug_control.h"

#include <bit>

#include "engine/control_automation.h"

ug_control::ug_control() { SetProcessFunction(&ug_base::SleepCheck); }

void ug_control::HandleEvent(ug_event* event) {
  switch (event->type) {
    case UET_PROG_CHANGE:
      ProgramChange(event->value);
      break;
    case UET_CONTROL_VALUE:
      SetFromMidi(std::bit_cast<float>(event->extra));
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
      if (automation != nullptr) automation->ReportControl(clock, ControllerNumber(), NrpnNumber(), NormalisedValue());
      break;
    case 2:
      ApplyValue(-1, false);
      break;
    default:
      ug_base::OnUiNotify(kind, value);
      break;
  }
}

void ug_control::OnPlugStateChange(int time, connector* c, PlugState state) {
  if (c != nullptr && PlugCount() > kControllerPlug && c->to == GetPlug(kControllerPlug) && automation != nullptr)
    automation->RegisterControl(*this);
}

void ug_control::ProgramChange(int program) {
  if (!ignoreProgramChange) ApplyValue(program, false);
}
