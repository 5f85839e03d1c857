// Base of control modules (sliders, lists, ...): they sleep until a value
// arrives from the panel, a program change or a MIDI controller.
#pragma once

#include "engine/ug_base.h"

class ug_control : public ug_base {
 public:
  ug_control();

  void HandleEvent(ug_event* event) override;
  void OnUiNotify(int kind, int value) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void ProgramChange(int program) override;  // slot 24

  virtual int ControllerNumber() { return controllerNumber; }            // 27
  virtual int NrpnNumber() { return nrpnNumber; }                        // 28
  virtual void ApplyValue(int patch, bool smooth) {}                     // 29
  virtual bool SetFromMidi(float value) { return false; }               // 30
  virtual std::string ValueText() { return {}; }                         // 31
  virtual float NormalisedValue() { return 0.0f; }                       // 32

  // Plug 3 is "MIDI Controller ID".
  static constexpr int kControllerPlug = 3;

  std::int16_t controllerNumber = -1;
  std::int16_t nrpnNumber = 0;
  bool ignoreProgramChange = false;
};
