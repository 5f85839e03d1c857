// The container's MIDI-automation receiver as control modules see it: the
// patch owner files its controls by controller number, hands them the
// automator's values and sends their moves out through the automator's
// output module. Audio thread (RegisterControl also while the engine is
// stopped).
#pragma once

namespace kr {

class ug_control;

class ControlAutomation {
 public:
  virtual ~ControlAutomation() = default;
  // Files the control under its controller number (none: taken off the lists).
  virtual void RegisterControl(ug_control& control) = 0;
  // A control moved on the panel or by the host: its controller goes out.
  virtual void ReportControl(int time, int controller, int nrpn, float value) = 0;
  // An incoming controller value (0..1) for the controls filed under it.
  virtual void DispatchToControls(int time, int controller, int rpn, int nrpn, float value) {}
  // Every filed control sends its value (a patch change with "Send All On
  // Patch Change").
  virtual void SendAllControls(int time) {}
};

}  // namespace kr
