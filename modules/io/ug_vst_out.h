// "VST Output": writes (or adds) the patch's audio into the host's output
// buffers and collects the patch's outgoing MIDI. Plug 0 "MIDI In", then one
// "Audio" input per document plug; audio plug i carries host channel i - 1.
#pragma once

#include <vector>

#include "engine/host_block.h"
#include "engine/ug_midi_device.h"

namespace kr {

class ug_vst_out : public ug_midi_device, public kr::HostBlockReader {
 public:
  ug_vst_out();
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_vst_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;
  // Into the host block's outgoing ring, with its engine time.
  void OnMidi(int time, std::uint32_t message) override;

  // Takes the block's output channels (audio thread, before the block runs).
  void BeginHostBlock(kr::HostBlock& block) override;

 private:
  void ChooseMode(int offset, int count);
  void Copy(int offset, int count);
  void Add(int offset, int count);

  std::vector<float*> host_;
};

}  // namespace kr
