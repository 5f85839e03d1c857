// One parameter as the host sees it: a normalised value (0..1) with a name,
// a display text and a label. Implemented over patch parameters and legacy
// panel controls by the parameter code.
#pragma once

#include <cstdint>
#include <string>

#include "engine/host_services.h"

class HostParameter {
 public:
  virtual ~HostParameter() = default;
  virtual std::string Name() const = 0;
  virtual std::string Display() const = 0;
  virtual std::string Label() const = 0;
  virtual float Value() const = 0;
  // On the GUI thread, or while no sound runs.
  virtual void SetValue(float normalised) = 0;
  // From another thread while sound runs: the value is kept until the audio
  // thread takes it (ApplyPending, at the start of its next block).
  virtual void SetValueThroughAudioSide(float normalised) = 0;
  // Audio thread, at the start of a block: hands a kept value to the audio side.
  virtual void ApplyPending() {}
  // GUI thread, while the audio thread is outside the engine: sound started
  // (or is about to stop). The parameter takes (or drops) the audio-side
  // object that ApplyPending hands values to, so the audio thread reads
  // nothing of the document or the patch memory.
  virtual void BindAudioSide() {}
  virtual void UnbindAudioSide() {}
  virtual bool CanBeAutomated() const = 0;
  // Ordering key: 0 for patch parameters and most controls, 1 for meters and LEDs.
  virtual std::uint8_t Kind() const = 0;
  // Called once, after sorting, with the parameter's stable host index. The
  // parameter reports its own changes through host.Automate.
  virtual void Attach(kr::HostServices& host, int hostIndex) = 0;
};
