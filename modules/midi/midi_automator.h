// "MIDI Automator" and the "MIDI Automator Output" it makes for itself.
// The automator decodes incoming controllers (7-bit, 14-bit pairs, RPN and
// NRPN) into 0..1 values for the patch parameters of its container; the
// output module sends the parameters' changes out again as controllers.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/midi_automation.h"
#include "engine/ug_midi_device.h"
#include "registry/midi_link.h"

namespace kr {

class ug_midi_automator_out;

class ug_midi_automator final : public ug_midi_device, public MidiAutomatorLink {
 public:
  ug_midi_automator();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_automator>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void OnMidi(int time, std::uint32_t message) override;
  // A program change (with "Send All On Patch Change") sends every control.
  void HandleEvent(ug_event* event) override;
  void AttachOutput(ug_base* output) override;

  bool SendsAllOnPatchChange() const { return sendAll_; }
  // The channel controllers go out on (0 for "All").
  int OutputChannel() const { return channel_ < 0 ? 0 : channel_ & 15; }

 private:
  static constexpr std::uint16_t kNoParameter = 0xFFFF;
  // One sub-block after a patch change (or the start), the controls send.
  void QueueSendAll();
  static void SendAllCall(ug_base& module);

  MidiInEndpoint midiIn_;
  MidiOutEndpoint midiOut_;
  MidiOutEndpoint hiddenOut_;
  std::int16_t channel_ = -1;
  bool sendAll_ = false;
  std::array<std::uint16_t, 32> registers_{};
  std::uint16_t rpn_ = kNoParameter;
  std::uint16_t nrpn_ = kNoParameter;
  bool serving_ = false;  // placed in its patch owner, with an output module
};

class ug_midi_automator_out final : public ug_base, public MidiAutomationOutput {
 public:
  ug_midi_automator_out();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_midi_automator_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void SendParameterValue(float value, std::int32_t identifier, bool patchChange) override;
  void SendControllerValue(int time, int controller, int number, float value) override {
    SendController(time, controller, number, value);
  }

  // Engine stopped: the automator whose settings it sends with.
  void Serve(ug_midi_automator* automator) { automator_ = automator; }
  UPlug* MidiOutPlug();

 private:
  void SendController(int time, int controller, int number, float value);
  void SendMessage(int time, int controller, int value);

  ug_midi_automator* automator_ = nullptr;
  MidiOutEndpoint midiOut_;
  int lastSent_ = 0;
  MidiInEndpoint hiddenIn_;
  MidiOutEndpoint hiddenOut_;
  std::int16_t channel_ = -1;
};

}  // namespace kr
