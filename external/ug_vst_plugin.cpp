#include "external/ug_vst_plugin.h"

#include <algorithm>

#include "external/parameter_vst.h"
#include "external/vst_plugin_module.h"
#include "external/vst_wrapper.h"
#include "registry/midi_lists.h"
#include "registry/plug_declaration.h"

namespace kr {

namespace {

constexpr int kMaxPluginEvents = 4096;
constexpr int kNrpnHigh = 99, kNrpnLow = 98, kRpnHigh = 101, kRpnLow = 100;
constexpr int kDataEntry = 6, kDataEntryLow = 38;
constexpr float kControllerScale = 1.0f / 16256.0f;  // 127 x 128: full scale

// Sets bits 7-13 (high) or 0-6 (low) of a 14-bit selection to v.
int WithPart(int selection, int v, bool high) {
  return high ? (selection & 0x7F) | (v << 7) : (selection & 0x3F80) | v;
}

}  // namespace

void ug_vst_plugin::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_vst_plugin> kPlugs[] = {
      {.name = "MIDI In", .type = DT_MIDI, .hint = "MIDI Input Plug", .bind = &ug_vst_plugin::midiIn_},
      {.name = "Channel",
       .type = DT_ENUM,
       .defaultText = "-1",
       .list = midi_lists::kChannelOrAll,
       .flags = PF_CONTROL | PF_KEEP_ON_PATCH_CHANGE,
       .hint = "MIDI Channel",
       .bind = &ug_vst_plugin::channel_},
      {.name = "MIDI Out",
       .direction = DR_OUT,
       .type = DT_MIDI,
       .hint = "MIDI Output Plug",
       .bind = &ug_vst_plugin::midiOut_},
      {.name = "Signal in", .defaultText = "0", .flags = PF_CONTROL | PF_VARIABLE_COUNT},
      {.name = "Signal Out", .direction = DR_OUT, .flags = PF_VARIABLE_COUNT},
      {.name = "ProcessReplacing Fix",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Some Plugins malfunction in 'ProcessReplacing' mode. This works around the 'bug'",
       .bind = &ug_vst_plugin::replacingFix_},
      {.name = "Data Alignment Fix",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Some Plugins expect audio aligned in memory. This fixes the problem (with some performance overhead)",
       .bind = &ug_vst_plugin::alignmentFix_},
      {.name = "MIDI Automation",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Enables Automation of incoming MIDI to plugin's paramters",
       .bind = &ug_vst_plugin::midiAutomation_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_vst_plugin::Open() {
  ug_base::Open();
  moduleIns_.clear();
  moduleOuts_.clear();
  midiOutPlug_ = nullptr;
  for (auto& plug : plugs) {
    if (plug->data == &midiOut_) midiOutPlug_ = plug.get();
    if (plug->type != DT_AUDIO) continue;
    (plug->IsInput() ? moduleIns_ : moduleOuts_).push_back(plug->GetSampleBuffer());
  }
  midiIn_.channel = channel_;
  queue_.Reserve();
  eventList_.Reserve(VstMidiQueue::kCapacity);

  module_ = dynamic_cast<VstPluginModule*>(docModule);
  // Only the module's own object drives the plug-in: voice copies stay silent.
  if (module_ == nullptr || module_->AudioObject() != this || !module_->Wrapper().Loaded() ||
      module_->Wrapper().Broken())
    return;
  wrapper_ = &module_->Wrapper();
  const int ins = wrapper_->NumInputs(), outs = wrapper_->NumOutputs();
  const auto frames = static_cast<std::size_t>(std::max(BlockLength(), kInternalFrames));
  silence_.assign(frames, 0.0f);
  scratch_.assign(static_cast<std::size_t>(outs), std::vector<float>(frames, 0.0f));
  pluginIns_.assign(static_cast<std::size_t>(ins), nullptr);
  pluginOuts_.assign(static_cast<std::size_t>(outs), nullptr);
  chunkIns_.assign(static_cast<std::size_t>(ins), {});
  chunkOuts_.assign(static_cast<std::size_t>(outs), {});
  for (auto& list : controllerLists_) list.reserve(module_->AutomatableParameters().size());
  BuildControllerLists();
  broken_ = false;
  nrpn_ = rpn_ = -1;

  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  module_->AttachAudio(this, rate);
  chunked_ = alignmentFix_;
  const int told = chunked_ ? kChunkFrames : BlockLength();
  wrapper_->SetSampleRate(static_cast<float>(rate));
  wrapper_->SetBlockSize(told);
  wrapper_->Resume();
  wrapper_->SetSampleRate(static_cast<float>(rate));
  wrapper_->SetBlockSize(told);
  for (auto& plug : plugs)
    if (plug->direction == DR_OUT) plug->SetState(clock, ST_RUN);
  ChooseProcessFunction();
}

void ug_vst_plugin::Close() {
  if (wrapper_ != nullptr) {
    wrapper_->Suspend();
    module_->AttachAudio(nullptr, 0.0);
  }
  wrapper_ = nullptr;
  SetProcessFunction(&ug_base::DoNothing);
  ug_base::Close();
}

void ug_vst_plugin::ChooseProcessFunction() {
  if (wrapper_ == nullptr) return;
  if (broken_) {
    SetProcessFunction(&ug_vst_plugin::Silent);
    return;
  }
  replacing_ = wrapper_->CanReplace() && !replacingFix_;
  if (!alignmentFix_) {
    chunked_ = false;
    SetProcessFunction(&ug_vst_plugin::Direct);
    return;
  }
  chunked_ = true;
  for (std::size_t k = 0; k < chunkIns_.size(); ++k) pluginIns_[k] = chunkIns_[k].data();
  for (std::size_t k = 0; k < chunkOuts_.size(); ++k) {
    std::fill(chunkOuts_[k].begin(), chunkOuts_[k].end(), 0.0f);
    pluginOuts_[k] = chunkOuts_[k].data() + kChunkFrames;
  }
  inFill_ = 0;
  outRead_ = kChunkFrames;
  SetProcessFunction(&ug_vst_plugin::Chunked);
}

void ug_vst_plugin::OnPlugStateChange(int, connector*, PlugState) {
  midiIn_.channel = channel_;
  if (wrapper_ == nullptr) return;
  const bool wasChunked = chunked_;
  const bool wasReplacing = replacing_;
  if (alignmentFix_ == wasChunked && (wrapper_->CanReplace() && !replacingFix_) == wasReplacing) return;
  ChooseProcessFunction();
  // The block size it is given changes with the mode: it hears so while suspended.
  if (chunked_ != wasChunked) {
    wrapper_->Suspend();
    wrapper_->SetBlockSize(chunked_ ? kChunkFrames : BlockLength());
    wrapper_->Resume();
  }
}

void ug_vst_plugin::QueueMidi(int time, std::uint32_t message, UPlug*) {
  if (wrapper_ == nullptr) return;
  if (chunked_) time += kChunkFrames;
  // Every controller on the first channel becomes an event at its sample: the
  // lists are looked at when it is due (a binding made meanwhile counts), and
  // the NRPN and RPN selections are followed whatever is bound.
  if (midiAutomation_ && (message & 0xFFu) == 0xB0u)
    if (ug_event* event = NewEvent(time, UET_CONTROL_VALUE, static_cast<int>((message >> 8) & 0x7Fu), nullptr,
                                   static_cast<int>((message >> 16) & 0x7Fu)))
      AddEvent(event, true);
  queue_.Push({time, message});
}

void ug_vst_plugin::HandleEvent(ug_event* event) {
  if (event->type == UET_CONTROL_VALUE) {
    if (midiAutomation_ && wrapper_ != nullptr) AutomateController(event->value, event->extra);
    return;
  }
  ug_base::HandleEvent(event);
}

void ug_vst_plugin::OnUiNotify(int kind, int value) {
  if (kind == kBindingsChanged) {
    BuildControllerLists();
    return;
  }
  ug_base::OnUiNotify(kind, value);
}

void ug_vst_plugin::BuildControllerLists() {
  for (auto& list : controllerLists_) list.clear();
  if (module_ == nullptr) return;
  // The lists were reserved at Open for every parameter: nothing allocates here.
  const auto add = [this](int k, parameter_vst* p) {
    auto& list = controllerLists_[static_cast<std::size_t>(k)];
    if (list.size() < list.capacity()) list.push_back(p);
  };
  for (parameter_vst* p : module_->AutomatableParameters()) {
    const int k = p->MidiController();
    if (k < 0 || k > 127) continue;
    add(k, p);
    if (k < 32) add(k + 32, p);
    if (k == kNrpnHigh || k == kRpnHigh) {
      add(kDataEntry, p);
      add(kDataEntryLow, p);
    }
  }
}

void ug_vst_plugin::AutomateController(int k, int v) {
  v &= 0x7F;
  if (k == kNrpnHigh || k == kNrpnLow) {
    nrpn_ = static_cast<std::int16_t>(WithPart(nrpn_, v, k == kNrpnHigh));
    rpn_ = -1;
    return;
  }
  if (k == kRpnHigh || k == kRpnLow) {
    rpn_ = static_cast<std::int16_t>(WithPart(rpn_, v, k == kRpnHigh));
    nrpn_ = -1;
    return;
  }
  if (k < 0 || k > 127) return;
  bool any = false;
  for (parameter_vst* p : controllerLists_[static_cast<std::size_t>(k)]) {
    int b = p->MidiController();
    const int number = p->MidiNrpn();
    if ((b == kNrpnHigh && number == nrpn_) || (b == kRpnHigh && number == rpn_)) b = kDataEntry;
    if (k == b) {
      p->value14 = static_cast<std::uint16_t>((v << 7) | (p->value14 & 0x7F));
    } else if (b < 32 && k == b + 32) {
      p->value14 = static_cast<std::uint16_t>((p->value14 & 0x3F80) | v);
    } else {
      continue;
    }
    wrapper_->SetParameter(p->Index(), static_cast<float>(p->value14) * kControllerScale);
    p->MarkChanged();
    any = true;
  }
  if (any) module_->NoteAutomation();
}

bool ug_vst_plugin::InsideOwnCall() const {
  return inCall_.load(std::memory_order_acquire) && HostedProcessingScope::Inside();
}

void ug_vst_plugin::BuildEvents(int start, int count) {
  eventList_.Clear();
  while (!queue_.Empty()) {
    const QueuedMidi entry = queue_.Front();
    const int delta = entry.time - start;
    if (delta >= count) break;  // waits for a later call
    queue_.PopFront();
    const std::uint32_t status = entry.message & 0xFFu;
    if (status >= 0xF0u) continue;
    vst::VstMidiEvent m{};
    m.type = vst::kVstMidiType;
    m.byteSize = 24;
    m.deltaFrames = std::max(delta, 0);
    m.midiData[0] = static_cast<char>(channel_ != -1 ? (status & 0xF0u) : status);
    m.midiData[1] = static_cast<char>((entry.message >> 8) & 0xFFu);
    const std::uint32_t kind = status & 0xF0u;
    m.midiData[2] = static_cast<char>(kind == 0xC0u || kind == 0xD0u ? 0xFFu : (entry.message >> 16) & 0xFFu);
    if (!eventList_.Append(m)) break;
  }
}

void ug_vst_plugin::SendEvents() {
  if (eventList_.Empty()) return;
  inCall_.store(true, std::memory_order_release);
  {
    const HostedProcessingScope scope;
    wrapper_->Dispatch(vst::effProcessEvents, 0, 0, eventList_.Events());
  }
  inCall_.store(false, std::memory_order_release);
}

bool ug_vst_plugin::CallPlugin(float** ins, float** outs, int count) {
  inCall_.store(true, std::memory_order_release);
  bool ok = false;
  {
    const HostedProcessingScope scope;
    ok = wrapper_->Process(replacing_, ins, outs, count);
  }
  inCall_.store(false, std::memory_order_release);
  if (!ok || wrapper_->Broken()) {
    Broke();
    return false;
  }
  return true;
}

void ug_vst_plugin::Broke() {
  if (broken_) return;
  broken_ = true;
  SetProcessFunction(&ug_vst_plugin::Silent);
  if (audioMaster != nullptr) audioMaster->MessageBox(module_->BrokenText());
}

void ug_vst_plugin::Silent(int offset, int count) {
  for (float* out : moduleOuts_) std::fill_n(out + offset, count, 0.0f);
}

void ug_vst_plugin::Direct(int offset, int count) {
  const int start = PeriodStart() + offset;
  callStart_ = start;
  callFrames_ = count;
  BuildEvents(start, count);
  for (std::size_t k = 0; k < pluginIns_.size(); ++k)
    pluginIns_[k] = (k < moduleIns_.size() ? moduleIns_[k] : silence_.data()) + offset;
  for (std::size_t k = 0; k < pluginOuts_.size(); ++k) {
    pluginOuts_[k] = (k < moduleOuts_.size() ? moduleOuts_[k] : scratch_[k].data()) + offset;
    if (!replacing_) std::fill_n(pluginOuts_[k], count, 0.0f);
  }
  for (std::size_t k = pluginOuts_.size(); k < moduleOuts_.size(); ++k) std::fill_n(moduleOuts_[k] + offset, count, 0.0f);
  SendEvents();
  if (!CallPlugin(pluginIns_.data(), pluginOuts_.data(), count)) Silent(offset, count);
}

void ug_vst_plugin::Chunked(int offset, int count) {
  const int start = PeriodStart() + offset;
  for (int i = 0; i < count; ++i) {
    for (std::size_t k = 0; k < chunkIns_.size(); ++k)
      chunkIns_[k][static_cast<std::size_t>(inFill_)] =
          k < moduleIns_.size() ? moduleIns_[k][offset + i] : 0.0f;
    if (++inFill_ == kChunkFrames) {
      const int now = start + i;
      callStart_ = now;
      callFrames_ = kChunkFrames;
      BuildEvents(now - (kChunkFrames - 1), kChunkFrames);
      SendEvents();
      if (!replacing_)
        for (auto& out : chunkOuts_) std::fill(out.begin() + kChunkFrames, out.end(), 0.0f);
      if (!CallPlugin(pluginIns_.data(), pluginOuts_.data(), kChunkFrames)) {
        Silent(offset, count);
        return;
      }
      inFill_ = 0;
      outRead_ = kChunkFrames;
    }
    for (std::size_t k = 0; k < moduleOuts_.size(); ++k)
      moduleOuts_[k][offset + i] = k < chunkOuts_.size() && outRead_ < kInternalFrames
                                       ? chunkOuts_[k][static_cast<std::size_t>(outRead_)]
                                       : 0.0f;
    if (outRead_ < kInternalFrames) ++outRead_;
  }
}

void ug_vst_plugin::TakePluginEvents(const vst::VstEvents* events) {
  if (!InsideOwnCall() || midiOutPlug_ == nullptr) return;
  bool sent = false;
  ForEachMidiEvent(events, kMaxPluginEvents, [&](const vst::VstMidiEvent& m) {
    const int delta = std::clamp(m.deltaFrames, 0, std::max(callFrames_ - 1, 0));
    const std::uint32_t message = static_cast<std::uint8_t>(m.midiData[0]) |
                                  static_cast<std::uint32_t>(static_cast<std::uint8_t>(m.midiData[1])) << 8 |
                                  static_cast<std::uint32_t>(static_cast<std::uint8_t>(m.midiData[2])) << 16;
    midiOutPlug_->SendMidi(callStart_ + delta, message);
    sent = true;
  });
  if (sent) midiOutPlug_->WakeReceivers();
}

const vst::VstTimeInfo* ug_vst_plugin::TimeFor(std::int32_t filter) {
  if (!InsideOwnCall() || audioMaster == nullptr) return nullptr;
  const std::optional<vst::VstTimeInfo> info = audioMaster->GetTimeInfo(filter);
  if (!info) return nullptr;
  timeInfo_ = *info;
  return &timeInfo_;
}

vst::VstIntPtr ug_vst_plugin::PassSetTime(vst::VstTimeInfo* info) {
  if (!InsideOwnCall() || audioMaster == nullptr) return 0;
  return audioMaster->Host().CallHost(vst::audioMasterSetTime, 0, 0, info, 0.0f);
}

}  // namespace kr
