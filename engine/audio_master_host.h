// The audio master's link to the application and the host. The sound engine
// implements it; tests use fakes. Each call says which thread makes it
// ("audio": the audio thread inside a block, engine running; "GUI, stopped":
// the GUI thread with the engine stopped, as at a module's Open).
#pragma once

#include <cstdint>
#include <string_view>

#include "vst/vst2.h"

namespace kr {

class dsp_to_ui_que;
class ug_base;
class ModuleFiles;

class AudioMasterHost {
 public:
  virtual ~AudioMasterHost() = default;

  // audioMasterGetTime with the given filter; null when the host has none. Audio.
  virtual const vst::VstTimeInfo* GetHostTime(std::int32_t filter) = 0;
  // Any call of the host's audio-master callback, answered by the host
  // (module libraries pass calls through); 0 without a host. Any thread.
  virtual vst::VstIntPtr CallHost(std::int32_t opcode, std::int32_t index, vst::VstIntPtr value, void* pointer,
                                  float option) {
    return 0;
  }
  // Any thread; fixed while the engine exists.
  virtual double SampleRate() const = 0;
  // Audio, at block start after RequestParameterRefresh (no product caller
  // asks any more: host values reach the audio side through their inbox).
  virtual void RefreshParameters() {}
  // DSP-to-GUI senders, audio (or GUI, stopped, from Open): "mbox" (text
  // and style) and "refr" for a module.
  virtual void PostMessageBox(std::string_view text, std::int32_t style) {}
  virtual void PostRefresh(ug_base& module) {}
  // A meter's new display value (sent on each change, at the meter's rate).
  virtual void PostDisplayValue(ug_base& module, float value) {}
  // An "OS Command" asks for its command line to be started on the GUI
  // side; tooLong says the text was too long to send (and is empty).
  virtual void PostCommand(ug_base& module, std::string_view commandLine, bool tooLong) {}
  // A line of text for a module's console on the panel ("prnt").
  virtual void PostPrint(ug_base& module, std::string_view text) {}
  // A curve for the module's panel view (a spectrum, a response), up to
  // kCurvePoints values ("curv").
  static constexpr int kCurvePoints = 128;
  virtual void PostCurve(ug_base& module, const float* values, int count) {}
  // A plug's value for the document module's plug of that index ("updt").
  virtual void PostPlugText(ug_base& module, std::int32_t plug, std::string_view text) {}
  // The DSP-to-GUI ring, for audio-side senders of their own messages
  // (audio thread); null without a GUI side.
  virtual dsp_to_ui_que* GuiQueue() { return nullptr; }
  // Stop acknowledged by the audio thread (after a stop request). Audio.
  virtual void OnStopAcknowledged() {}
  // The files modules open and write; null when there is no application
  // (tests), and modules then find no files. GUI, stopped (Open, Close).
  virtual kr::ModuleFiles* Files() { return nullptr; }
};

}  // namespace kr
