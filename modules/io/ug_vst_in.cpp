#include "modules/io/ug_vst_in.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

// The event pointers of a host list, read without the fixed-size array bound.
vst::VstEvent* const* EventSlots(const vst::VstEvents* events) {
  return reinterpret_cast<vst::VstEvent* const*>(reinterpret_cast<const char*>(events) +
                                                 offsetof(vst::VstEvents, events));
}

std::uint32_t MidiWord(const vst::VstMidiEvent& e) {
  const auto byte = [&](int i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(e.midiData[i])); };
  return byte(0) | (byte(1) << 8) | (byte(2) << 16);
}

}  // namespace

void ug_vst_in::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_vst_in> kPlugs[] = {
      {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .defaultText = "0"},
      {.name = "Audio", .direction = DR_OUT, .flags = PF_AUTO_DUPLICATE},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_vst_in::Open() {
  SetProcessFunction(&ug_vst_in::Copy);
  if (audioMaster != nullptr) audioMaster->AddHostBlockReader(this);
  ug_base::Open();
  host_.assign(plugs.size() > 0 ? plugs.size() - 1 : 0, nullptr);
  for (std::size_t i = 1; i < plugs.size(); ++i)
    if (plugs[i]->type == DT_AUDIO) plugs[i]->SetState(clock, ST_RUN);
  QueueCall(clock, &KrAudioMaster::DeferralHeartbeat);
}

void ug_vst_in::Close() {
  if (audioMaster != nullptr) audioMaster->RemoveHostBlockReader(this);
  ug_base::Close();
}

void ug_vst_in::BeginHostBlock(kr::HostBlock& block) {
  // Only channels the host really has; a plug beyond them reads silence.
  const int usable = block.inputs != nullptr ? std::min(block.inputCount, static_cast<int>(host_.size())) : 0;
  for (int i = 0; i < static_cast<int>(host_.size()); ++i)
    host_[static_cast<std::size_t>(i)] = i < usable ? block.inputs[i] : nullptr;
  SendHostMidi(block);
}

void ug_vst_in::SendHostMidi(const kr::HostBlock& block) {
  vst::VstEvents* events = block.midiIn;
  if (events == nullptr || plugs.empty()) return;
  UPlug* out = plugs.front().get();
  vst::VstEvent* const* slots = EventSlots(events);
  for (vst::VstInt32 i = 0; i < events->numEvents; ++i) {
    vst::VstEvent* e = slots[i];
    if (e == nullptr || e->type != vst::kVstMidiType) continue;  // sysex and others are skipped
    auto* midi = reinterpret_cast<vst::VstMidiEvent*>(e);
    // A negative offset from the host plays at the block's start, and the
    // event says so.
    if (midi->deltaFrames < 0) midi->deltaFrames = 0;
    out->SendMidi(static_cast<int>(block.startTime + static_cast<std::uint32_t>(midi->deltaFrames)), MidiWord(*midi));
  }
  out->WakeReceivers();
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
    // What no signal can be (NaN, infinities) and what would only slow the
    // patch down (subnormals) comes in as silence: a host's bad block must
    // not leave the patch's filters and delays holding it.
    const float* src = host_[i];
    for (int k = 0; k < count; ++k) dst[k] = std::fabs(src[k]) >= std::numeric_limits<float>::min() &&
                                                     std::fabs(src[k]) <= std::numeric_limits<float>::max()
                                                 ? src[k]
                                                 : 0.0f;
    host_[i] += count;
  }
}

}  // namespace kr
