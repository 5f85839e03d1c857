// Joining legacy panel controls to their audio objects while sound runs.
// The GUI side sends the control's stored values through the GUI-to-DSP
// queue ("ctlv": the audio side never reads the document), and stores the
// values the audio side moved (MIDI, host values from other threads) in the
// program they belong to. GUI thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "document/notifier.h"

namespace kr {

class CContainer;
class CControl;
class KrAudioMaster;
class my_input_stream;
class ug_control;

class ControlLink final : public Notifiable {
 public:
  // Engine stopped: hands the audio object every program's value directly.
  ControlLink(CControl& control, ug_control& audio, KrAudioMaster& master);
  ~ControlLink() override;
  ControlLink(const ControlLink&) = delete;
  ControlLink& operator=(const ControlLink&) = delete;

  // The control's value changed: an edit or a host value goes over as a
  // move, a program change or a chunk as every program's value.
  void OnNotify(Notifier* source, int code, void* data) override;
  // "ctlv" from the audio object: program (int32), value (int32).
  void TakeMovedValue(my_input_stream& stream);
  const CControl* Control() const { return control_; }

 private:
  void Send(std::uint8_t kind, bool everyProgram);

  CControl* control_;
  KrAudioMaster& master_;
  std::int32_t handle_;
};

// A link for every legacy control of the tree whose audio object is a control.
std::vector<std::unique_ptr<ControlLink>> BindControls(const CContainer& root, KrAudioMaster& master);
// Room the GUI-to-DSP ring needs for one program switch of them all.
std::size_t ControlRingBytes(const CContainer& root);

}  // namespace kr
