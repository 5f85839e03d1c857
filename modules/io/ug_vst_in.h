// "VST Input": hands the host's input audio and MIDI to the patch. Plug 0
// "MIDI Out", then one "Audio" output per document plug; audio plug i
// carries host channel i - 1.
#pragma once

#include <vector>

#include "engine/host_block.h"
#include "engine/ug_base.h"

namespace kr {

class ug_vst_in : public ug_base, public kr::HostBlockReader {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_vst_in>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;

  // Takes the block's input channels and sends its MIDI at the block's start
  // time plus each event's offset (audio thread, before the block runs).
  void BeginHostBlock(kr::HostBlock& block) override;

 private:
  void Copy(int offset, int count);
  void SendHostMidi(const kr::HostBlock& block);

  std::vector<const float*> host_;  // one per audio plug, walked through the block
};

}  // namespace kr
