#include "engine/host_io/ug_vst_in.h"

#include <algorithm>

#include "document/module_registry.h"
#include "engine/audio_master.h"

void ug_vst_in::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "MIDI Out", DR_OUT, DT_MIDI, "0");
  list.emplace_back(nullptr, nullptr, "Audio", DR_OUT, DT_AUDIO, "", "", PF_AUTO_DUPLICATE);
}

void ug_vst_in::Open() {
  SetProcessFunction(&ug_vst_in::Copy);
  const HostIoLink link = audioMaster != nullptr ? audioMaster->Host().HostIo() : HostIoLink{};
  endpoint_ = link.endpoint;
  hostChannels_ = link.inputs;
  if (endpoint_ != nullptr) endpoint_->SetHostInput(this);
  ug_base::Open();
  host_.assign(plugs.size() > 0 ? plugs.size() - 1 : 0, nullptr);
  for (std::size_t i = 1; i < plugs.size(); ++i)
    if (plugs[i]->type == DT_AUDIO) plugs[i]->SetState(clock, ST_RUN);
  QueueCall(clock, &KrAudioMaster::DeferralHeartbeat);
}

void ug_vst_in::Close() {
  if (endpoint_ != nullptr) endpoint_->SetHostInput(nullptr);
  endpoint_ = nullptr;
  ug_base::Close();
}

void ug_vst_in::SetHostBuffers(float* const* inputs) {
  // Only channels the host really has; a plug beyond them reads silence.
  const int usable = inputs != nullptr ? std::min(hostChannels_, static_cast<int>(host_.size())) : 0;
  for (int i = 0; i < static_cast<int>(host_.size()); ++i) host_[static_cast<std::size_t>(i)] = i < usable ? inputs[i] : nullptr;
}

void ug_vst_in::Copy(int offset, int count) {
  for (std::size_t i = 0; i < host_.size(); ++i) {
    UPlug* plug = plugs[i + 1].get();
    if (plug->type != DT_AUDIO) continue;
    float* dst = plug->GetSampleBuffer() + offset;
    if (host_[i] == nullptr) {
      std::fill_n(dst, count, 0.0f);
      continue;
    }
    std::copy_n(host_[i], count, dst);
    host_[i] += count;
  }
}

void ug_vst_in::SendMidi(std::uint32_t time, std::uint32_t message) {
  GetPlug(0)->SendMidi(static_cast<int>(time), message);
}

void ug_vst_in::WakeReceivers() { GetPlug(0)->WakeReceivers(); }

namespace {
const bool kRegistered = RegisterModule(
    std::make_unique<Module_Info>("VST Input", "", 0, 0, nullptr, AudioFactoryFor<ug_vst_in>, MF_STRUCTURE_VIEW));
}  // namespace
