// A patch parameter's audio-side twin: it puts values into the module's
// input (through the constant source that feeds it) at the time they arrive,
// and sends values that arrived on the audio side (host automation, or a
// module that produces the value) back to its parameter.
//
// Made while the engine is stopped (GUI thread); afterwards audio thread
// only (or the GUI thread dispatching while no block runs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/dsp_msg_target.h"
#include "engine/host_value_target.h"
#include "engine/patch_value_report.h"

namespace kr {

class KrAudioMaster;
class UPlug;

class dsp_patch_manager;

class dsp_patch_parameter final : public dsp_msg_target, public PatchValueReporter, public HostValueTarget {
 public:
  struct Mapping {
    std::int32_t typeNumber = 6;
    float minimum = 0.0f;
    float maximum = 10.0f;
    std::vector<std::int32_t> itemValues;  // enumerations: the items' values in list order
  };

  // source: the output that feeds the module's input (a constant source);
  // programEpoch: the parameter's, so that what the twin sends back before
  // the next program switch is taken in.
  dsp_patch_parameter(KrAudioMaster& master, std::int32_t parameterHandle, Mapping mapping, UPlug* source,
                      std::int32_t programEpoch);

  // "ppc" from the parameter: a flag byte, then the value (int32, float bits
  // or a text); pushed into the input at once.
  void OnGuiMessage(std::int32_t id, my_input_stream& stream) override;

  // Host automation from another thread: the value goes into the input now
  // and back to the parameter (marked as the host's).
  void SetFromHost(float normalised) override;

  // A controller value (0..1) from the automator, at its time: into the
  // input, and back to the parameter, which reports it to the host. Not
  // sent out again as MIDI.
  void ControllerChange(int time, float normalised);
  // The parameter learnt a controller (or stopped learning: -1).
  void TellLearnt(std::int32_t identifier);
  // The value as the automator's output sends it: 0..1, or -1 for none.
  float NormalisedValue() const;

  // A value the audio side produced (a module's patch value output): it goes
  // to the parameter, which reports it to the host.
  void ReportPatchValue(std::int32_t bits) override;

  // The value the twin last pushed, as the snapshot the engine carries.
  std::int32_t LastValueBits() const { return lastBits_; }

 private:
  void Push(int time, std::int32_t bits, const std::string* text);
  void SendOut(bool patchChange);
  std::int32_t BitsForNormalised(float normalised) const;
  void SendBack(std::int32_t bits, bool fromHost);

  KrAudioMaster& master_;
  std::int32_t parameterHandle_;
  Mapping mapping_;
  UPlug* source_;
  std::int32_t lastBits_ = 0;
  std::int32_t programEpoch_ = 0;  // of the last value the parameter sent
  // A text value as it arrived, reserved beforehand; the event that puts it
  // into the plug points at it (a later text in the same block wins).
  std::string text_;
  // MIDI automation, filed by the manager.
  friend class dsp_patch_manager;
  dsp_patch_manager* manager_ = nullptr;
  std::int32_t controller_ = -1;
};

}  // namespace kr
