#include "engine/host_io/ug_vst_out.h"

#include <algorithm>

#include "document/module_registry.h"
#include "engine/audio_master.h"

ug_vst_out::ug_vst_out() { SetProcessFunction(&ug_vst_out::ChooseMode); }

void ug_vst_out::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "MIDI In", DR_IN, DT_MIDI, "0");
  list.emplace_back(nullptr, nullptr, "Audio", DR_IN, DT_AUDIO, "", "",
                    PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT | PF_SIGNAL);
}

void ug_vst_out::Open() {
  const HostIoLink link = audioMaster != nullptr ? audioMaster->Host().HostIo() : HostIoLink{};
  endpoint_ = link.endpoint;
  hostChannels_ = link.outputs;
  if (endpoint_ != nullptr) endpoint_->SetHostOutput(this);
  ug_base::Open();
  SetProcessFunction(&ug_vst_out::ChooseMode);
  host_.assign(plugs.size() > 0 ? plugs.size() - 1 : 0, nullptr);
}

void ug_vst_out::Close() {
  if (endpoint_ != nullptr) endpoint_->SetHostOutput(nullptr);
  endpoint_ = nullptr;
  ug_base::Close();
}

void ug_vst_out::SetHostBuffers(float* const* outputs) {
  // Only channels the host really has; a plug beyond them writes nowhere.
  const int usable = outputs != nullptr ? std::min(hostChannels_, static_cast<int>(host_.size())) : 0;
  for (int i = 0; i < static_cast<int>(host_.size()); ++i) host_[static_cast<std::size_t>(i)] = i < usable ? outputs[i] : nullptr;
}

void ug_vst_out::ChooseMode(int offset, int count) {
  // Fixed from the first processed sub-block until the next engine start.
  const bool replacing = endpoint_ == nullptr || endpoint_->Replacing();
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

void ug_vst_out::OnMidi(int time, std::uint32_t message) { ring_.Write(static_cast<std::uint32_t>(time), message); }

namespace {
const bool kRegistered = RegisterModule(
    std::make_unique<Module_Info>("VST Output", "", 0, 0, nullptr, AudioFactoryFor<ug_vst_out>, MF_STRUCTURE_VIEW));
}  // namespace
