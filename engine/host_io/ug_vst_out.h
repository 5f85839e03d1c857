// "VST Output": writes (or adds) the patch's audio into the host's output
// buffers and collects the patch's outgoing MIDI. Plug 0 "MIDI In", then one
// "Audio" input per document plug; audio plug i carries host channel i - 1.
#pragma once

#include <vector>

#include "engine/ug_midi_device.h"
#include "shell/host_io_modules.h"

class ug_vst_out : public ug_midi_device, public HostOutputModule {
 public:
  ug_vst_out();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_vst_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  void OnMidi(int time, std::uint32_t message) override;

  // HostOutputModule (audio thread, between blocks).
  void SetHostBuffers(float* const* outputs) override;
  std::uint32_t CurrentTime() const override { return static_cast<std::uint32_t>(clock); }
  const OutgoingMidiRing& MidiRing() const override { return ring_; }

 private:
  void ChooseMode(int offset, int count);
  void Copy(int offset, int count);
  void Add(int offset, int count);

  OutgoingMidiRing ring_;
  std::vector<float*> host_;
  HostIoEndpoint* endpoint_ = nullptr;
  int hostChannels_ = 0;
};
