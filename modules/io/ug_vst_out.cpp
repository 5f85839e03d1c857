#include "modules/io/ug_vst_out.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

ug_vst_out::ug_vst_out() { SetProcessFunction(&ug_vst_out::ChooseMode); }

void ug_vst_out::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_vst_out> kPlugs[] = {
      {.name = "MIDI In", .type = DT_MIDI, .defaultText = "0"},
      {.name = "Audio", .flags = PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT | PF_SIGNAL},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_vst_out::Open() {
  if (audioMaster != nullptr) audioMaster->AddHostBlockReader(this);
  ug_base::Open();
  SetProcessFunction(&ug_vst_out::ChooseMode);
  host_.assign(plugs.size() > 0 ? plugs.size() - 1 : 0, nullptr);
}

void ug_vst_out::Close() {
  if (audioMaster != nullptr) audioMaster->RemoveHostBlockReader(this);
  ug_base::Close();
}

void ug_vst_out::BeginHostBlock(kr::HostBlock& block) {
  // Only channels the host really has; a plug beyond them writes nowhere.
  const int usable = block.outputs != nullptr ? std::min(block.outputCount, static_cast<int>(host_.size())) : 0;
  for (int i = 0; i < static_cast<int>(host_.size()); ++i)
    host_[static_cast<std::size_t>(i)] = i < usable ? block.outputs[i] : nullptr;
  block.outputsWritten = std::max(block.outputsWritten, usable);
}

void ug_vst_out::ChooseMode(int offset, int count) {
  // Fixed from the first processed sub-block until the next engine start.
  const kr::HostBlock* block = audioMaster != nullptr ? audioMaster->CurrentBlock() : nullptr;
  const bool replacing = block == nullptr || block->replacing;
  if (replacing) {
    SetProcessFunction(&ug_vst_out::Copy);
    Copy(offset, count);
  } else {
    SetProcessFunction(&ug_vst_out::Add);
    Add(offset, count);
  }
}

void ug_vst_out::Copy(int offset, int count) {
  for (std::size_t i = 0; i < host_.size(); ++i) {
    if (host_[i] == nullptr || plugs[i + 1]->type != DT_AUDIO) continue;
    std::copy_n(plugs[i + 1]->GetSampleBuffer() + offset, count, host_[i]);
    host_[i] += count;
  }
}

void ug_vst_out::Add(int offset, int count) {
  for (std::size_t i = 0; i < host_.size(); ++i) {
    if (host_[i] == nullptr || plugs[i + 1]->type != DT_AUDIO) continue;
    const float* src = plugs[i + 1]->GetSampleBuffer() + offset;
    float* dst = host_[i];
    for (int k = 0; k < count; ++k) dst[k] += src[k];
    host_[i] += count;
  }
}

void ug_vst_out::OnMidi(int time, std::uint32_t message) {
  if (OutgoingMidiRing* ring = audioMaster != nullptr ? audioMaster->HostMidiOut() : nullptr)
    ring->Write(static_cast<std::uint32_t>(time), message);
}

}  // namespace kr
