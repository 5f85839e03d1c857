// The patch owner's side of control automation: controls filed by
// controller number, incoming values handed to them as events, and their
// moves sent out through the automator's output module.
#include <bit>

#include "engine/midi_automation.h"
#include "engine/ug_container.h"
#include "engine/ug_control.h"

namespace kr {

namespace {
// NRPN (99) and RPN (101) controls take their values by data entry.
int ListOf(int controller) { return controller == 99 || controller == 101 ? 6 : controller; }
}  // namespace

namespace {
// Takes the control off the chain that holds it; false when none does.
bool Unfile(std::array<ug_control*, 128>& chains, ug_control& control) {
  for (ug_control*& head : chains) {
    for (ug_control** link = &head; *link != nullptr; link = &(*link)->nextFiled) {
      if (*link != &control) continue;
      *link = control.nextFiled;
      control.nextFiled = nullptr;
      return true;
    }
  }
  return false;
}
}  // namespace

void ug_container::RegisterControl(ug_control& control) {
  Unfile(controls_, control);
  const int number = control.ControllerNumber();
  if (number < 0 || number > 127) return;
  ug_control** link = &controls_[static_cast<std::size_t>(ListOf(number))];
  while (*link != nullptr) link = &(*link)->nextFiled;
  *link = &control;
}

void ug_container::ReportControl(int time, int controller, int nrpn, float value) {
  if (auto* output = dynamic_cast<MidiAutomationOutput*>(midiAutomatorOut))
    output->SendControllerValue(time, controller, nrpn, value);
}

void ug_container::DispatchToControls(int time, int controller, int rpn, int nrpn, float value) {
  if (controller < 0 || controller > 127) return;
  for (ug_control* c = controls_[static_cast<std::size_t>(controller)]; c != nullptr; c = c->nextFiled) {
    const int number = c->ControllerNumber();
    // Registers at 0xFFFF (none selected) match no parameter number.
    if (number == 99 && static_cast<std::uint16_t>(c->NrpnNumber()) != static_cast<std::uint16_t>(nrpn)) continue;
    if (number == 101 && static_cast<std::uint16_t>(c->NrpnNumber()) != static_cast<std::uint16_t>(rpn)) continue;
    c->AddEvent(c->NewEvent(time, UET_CONTROL_VALUE, controller, nullptr, std::bit_cast<std::int32_t>(value)), true);
  }
}

void ug_container::SendAllControls(int time) {
  for (ug_control* head : controls_)
    for (ug_control* c = head; c != nullptr; c = c->nextFiled)
      ReportControl(time, c->ControllerNumber(), c->NrpnNumber(), c->NormalisedValue());
}

}  // namespace kr
