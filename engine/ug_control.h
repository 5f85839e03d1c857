// Base of control modules (sliders, lists, ...): they sleep until a value
// arrives from the panel, a program change or a MIDI controller.
//
// The audio side never reads the document control: the GUI side sends the
// control's stored value of every program ("ctlv", below) and each later
// change, and the control keeps them here. A value that reaches the control
// from its audio side (a MIDI controller, a host value from another thread)
// goes back to the GUI side the same way, with the program it belongs to.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "engine/host_value_target.h"
#include "engine/ug_base.h"
#include "registry/midi_link.h"

namespace kr {

class ug_control : public ug_base, public HostValueTarget {
 public:
  static constexpr int kPrograms = 128;
  // "ctlv" from the GUI side: kind (uint8), program (int32), count n
  // (int32: 1, or kPrograms from program 0 on), then n values (int32: float
  // bits for numbers, item values for lists; for text controls, which keep
  // only the text playing, one text).
  enum ValueKind : std::uint8_t {
    kMoved = 1,           // an edit or a host value: smoothed, sent out as a controller
    kProgramSwitch = 2,   // the program's value: a step, nothing sent
    kStoreOnly = 3,       // kept for its program only
  };

  ug_control();

  // Threads: the slots as engine/ug_base.h gives them; 27..32 audio thread.
  // Files itself with its patch owner's automation under its controller.
  void Open() override;
  void HandleEvent(ug_event* event) override;
  void OnUiNotify(int kind, int value) override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void OnGuiMessage(std::int32_t id, my_input_stream& stream) override;
  void ProgramChange(int program) override;  // slot 24

  virtual int ControllerNumber() { return controllerNumber; }            // 27
  virtual int NrpnNumber() { return nrpnNumber; }                        // 28
  virtual void ApplyValue(int patch, bool smooth) {}                     // 29
  virtual bool SetFromMidi(float value) { return false; }               // 30
  virtual std::string ValueText() { return {}; }                         // 31
  virtual float NormalisedValue() { return 0.0f; }                       // 32

  // Engine stopped (GUI thread): every program's value and the current program.
  void LoadProgramValues(std::span<const std::int32_t> values, int currentProgram);
  // Engine stopped (GUI thread): a list control's item values, in list order.
  virtual void LoadItems(std::span<const std::int32_t> itemValues) {}
  // Engine stopped (GUI thread): a text control's text of every program.
  virtual void LoadTexts(std::span<const std::string> texts) {}
  // A host value (0..1) set from another thread: audio thread, at block
  // start. It moves the control as a controller would, and goes out as the
  // control's controller.
  void SetFromHost(float value) override;
  int CurrentProgram() const { return currentProgram_; }

  // Plug 3 is "MIDI Controller ID".
  static constexpr int kControllerPlug = 3;

  std::int16_t controllerNumber = -1;
  std::int16_t nrpnNumber = 0;
  bool ignoreProgramChange = false;
  // Engine stopped: the next control filed under the same controller (the
  // patch owner's lists are chained through the controls, so filing never
  // allocates).
  ug_control* nextFiled = nullptr;
  // What "Channel", "MIDI In" and "MIDI Out" are bound to: the control takes
  // no MIDI through them; they carry the ordering connections.
  std::int16_t channelSetting = -1;
  MidiInEndpoint midiIn;
  MidiOutEndpoint midiOut;

 protected:
  // The stored value of a program (-1: the current one).
  std::int32_t ProgramValue(int program) const;
  // The value the control shows now, in the form programs store it.
  virtual std::int32_t CurrentValue() { return ProgramValue(-1); }
  // The current program's value changed on the audio side: kept, and sent
  // to the GUI side for that program.
  void KeepAudioValue(std::int32_t value);
  // Text controls read their texts themselves; the others read int32 values.
  virtual void ReadValues(my_input_stream& stream, int first, int count);

 private:
  void ReportMove();

  std::array<std::int32_t, kPrograms> programValues_{};
  int currentProgram_ = 0;
};

}  // namespace kr
