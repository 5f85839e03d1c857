// The two engine modules that meet the host: the input module hands host
// audio and MIDI to the patch, the output module writes the patch's audio
// into the host buffers and collects its outgoing MIDI. Each registers itself
// with the effect object when it opens and clears itself when it closes.
// Engine code needs only this header and outgoing_midi_ring.h, not the effect object.
#pragma once

#include <cstdint>

#include "shell/outgoing_midi_ring.h"

class HostInputModule {
 public:
  virtual ~HostInputModule() = default;
  virtual void SetHostBuffers(float* const* inputs) = 0;
  // Engine time at which the current host block starts.
  virtual std::uint32_t Clock() const = 0;
  // Sends one MIDI word on the "MIDI Out" plug at an engine time.
  virtual void SendMidi(std::uint32_t time, std::uint32_t message) = 0;
  virtual void WakeReceivers() = 0;
};

class HostOutputModule {
 public:
  virtual ~HostOutputModule() = default;
  virtual void SetHostBuffers(float* const* outputs) = 0;
  // Engine time at the end of the block just computed.
  virtual std::uint32_t CurrentTime() const = 0;
  virtual const OutgoingMidiRing& MidiRing() const = 0;
};

// What the host I/O modules register with (the effect object).
class HostIoEndpoint {
 public:
  // Called by each module from its Open (with itself) and its Close (with null).
  virtual void SetHostInput(HostInputModule* module) = 0;
  virtual void SetHostOutput(HostOutputModule* module) = 0;
  // False when the host's first block after the engine start came through the
  // accumulating entry: the output module then adds into the host buffers.
  virtual bool Replacing() const = 0;

 protected:
  ~HostIoEndpoint() = default;
};
