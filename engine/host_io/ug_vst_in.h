// "VST Input": hands the host's input audio and MIDI to the patch. Plug 0
// "MIDI Out", then one "Audio" output per document plug; audio plug i
// carries host channel i - 1.
#pragma once

#include <vector>

#include "engine/ug_base.h"
#include "shell/host_io_modules.h"

class ug_vst_in : public ug_base, public HostInputModule {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_vst_in>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void Close() override;

  // HostInputModule (audio thread, between blocks).
  void SetHostBuffers(float* const* inputs) override;
  std::uint32_t Clock() const override { return static_cast<std::uint32_t>(clock); }
  void SendMidi(std::uint32_t time, std::uint32_t message) override;
  void WakeReceivers() override;

 private:
  void Copy(int offset, int count);

  HostIoEndpoint* endpoint_ = nullptr;
  int hostChannels_ = 0;
  std::vector<const float*> host_;  // one per audio plug, walked through the block
};
