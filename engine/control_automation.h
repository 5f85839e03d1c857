// The container's MIDI-automation receiver as control modules see it.
#pragma once

class ug_control;

class ControlAutomation {
 public:
  virtual ~ControlAutomation() = default;
  virtual void RegisterControl(ug_control& control) = 0;
  virtual void ReportControl(int time, int controller, int nrpn, float value) = 0;
};
