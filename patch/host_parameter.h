// One parameter as the host sees it: a normalised value (0..1) with a name,
// a display text and a label. Implemented over patch parameters and legacy
// panel controls by the parameter code.
#pragma once

#include <cstdint>
#include <string>

#include "engine/host_services.h"

namespace kr {

class HostParameter {
 public:
  virtual ~HostParameter() = default;
  virtual std::string Name() const = 0;
  virtual std::string Display() const = 0;
  virtual std::string Label() const = 0;
  virtual float Value() const = 0;

  // Where the host's call came from: the thread rule below needs no more.
  struct Caller {
    bool soundRunning = false;
    bool onGuiThread = true;
  };
  // The one way in for a host's value, on whichever thread the host calls.
  // A value equal to the current one is ignored. From the GUI thread, or
  // while no sound runs, the document object takes it (and tells the audio
  // side through the GUI-to-DSP queue); from another thread while sound
  // runs, it waits for the audio thread, which hands it to the audio side
  // as a value at the start of its next block.
  void SetFromHost(float value, Caller caller) {
    if (value == Value()) return;
    if (caller.soundRunning && !caller.onGuiThread)
      SetValueThroughAudioSide(value);
    else
      SetValue(value);
  }

  // GUI thread, while the audio thread is outside the engine: sound started
  // (or is about to stop). The parameter binds (or unbinds) its waiting
  // values to the audio-side object they go to, so the audio thread reads
  // nothing of the document or the patch memory.
  virtual void BindAudioSide() {}
  virtual void UnbindAudioSide() {}
  virtual bool CanBeAutomated() const = 0;
  // Ordering key: 0 for patch parameters and most controls, 1 for meters and LEDs.
  virtual std::uint8_t Kind() const = 0;
  // GUI thread, once, after sorting, with the parameter's stable host index.
  // The parameter reports its own changes through host.Automate.
  virtual void Attach(kr::HostServices& host, int hostIndex) = 0;

 protected:
  // The two routes SetFromHost chooses between.
  // GUI thread, or no sound running.
  virtual void SetValue(float normalised) = 0;
  // Another thread, sound running: kept until the audio thread takes it.
  virtual void SetValueThroughAudioSide(float normalised) = 0;
};

}  // namespace kr
