// A polyphonic container run by a real audio master, for the voice and
// note-source suites: modules are added to voice 0, Build marks and clones
// the voices as the graph builder does, and Render plays MIDI scheduled in
// advance, handing each message over just before the host block holding it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/audio_master.h"
#include "engine/ug_container.h"
#include "engine/ug_generic_1_1.h"
#include "graph/graph_builder.h"
#include "registry/midi_link.h"
#include "registry/module_info.h"
#include "registry/module_registry.h"
#include "support/engine_modules.h"

using namespace kr;

namespace krtest {

// A host without time information.
struct VoiceHost : krtest::FakeHost {
  VoiceHost() { hasTime = false; }
};

// Sends the test's MIDI.
class VoiceMidiFeeder : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<VoiceMidiFeeder>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&out, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "");
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  MidiOutEndpoint out;
};

// Out = In, counting the samples it produces (a stand-in for a voice's VCA).
class Follower : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Follower>(); }
  void BlockFunction(int offset, int count) override {
    std::copy_n(in_ptr + offset, count, out_ptr + offset);
    samplesRun += count;
  }
  long samplesRun = 0;
};

// Out = Gate x In (two control inputs): a voice's VCA. Streams while either
// input streams; otherwise settles for one period and sleeps.
class GateVca : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<GateVca>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Gate", DR_IN, DT_AUDIO, "0", "", 0, "", &gate);
    list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_AUDIO, "0", "", 0, "", &in);
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&GateVca::Run);
    ug_base::Open();
  }
  void OnPlugStateChange(int time, connector*, PlugState) override {
    Wake();
    streaming = GetPlug(0)->state == ST_RUN || GetPlug(1)->state == ST_RUN;
    GetPlug(2)->SetState(time, streaming ? ST_RUN : ST_STATIC);
    settleCount = BlockLength();
    SetProcessFunction(&GateVca::Run);
  }
  void Run(int offset, int count) {
    for (int i = offset; i < offset + count; ++i) out[i] = gate[i] * in[i];
    samplesRun += count;
    if (streaming) return;
    settleCount -= count;
    if (settleCount <= 0) SetProcessFunction(&ug_base::SleepCheck);
  }
  float* gate = nullptr;
  float* in = nullptr;
  float* out = nullptr;
  bool streaming = false;
  long samplesRun = 0;
};

// Records its signal input every sample; never sleeps, and is left out of
// voice marking (it listens to the voices' sum).
class VoiceTap : public krtest::Tap {
 public:
  VoiceTap() { recordRuns = false; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<VoiceTap>(); }
  void Open() override {
    krtest::Tap::Open();
    flags |= UGF_NO_MARKING;
  }
};

struct VoiceRig {
  VoiceRig(int hostBlockSize, int polyphony) : master(host, 1), block(hostBlockSize) {
    master.SetBlockSize(hostBlockSize);
    root.audioMaster = &master;
    root.polyphony = static_cast<std::int16_t>(polyphony);
    feeder = Add<VoiceMidiFeeder>();
  }
  ~VoiceRig() { root.Close(); }

  template <class T>
  T* Add() {
    auto made = std::make_unique<T>();
    made->audioMaster = &master;
    made->CreatePlugs();
    made->AllocatePlugData();
    return static_cast<T*>(root.AddModule(std::move(made)));
  }
  // A module made through the registry by name (null when it has none).
  ug_base* AddNamed(const char* name) {
    Module_Info* entry = ModuleRegistry::Get().FindByName(name);
    std::unique_ptr<ug_base> made = entry != nullptr ? entry->MakeAudioObject() : nullptr;
    if (made == nullptr) return nullptr;
    made->audioMaster = &master;
    made->CreatePlugs();
    made->AllocatePlugData();
    return root.AddModule(std::move(made));
  }

  // Marks, orders and clones the voices, then starts the engine.
  void Build() {
    root.MarkVoiceModules();
    std::vector<ug_base*> all{&root};
    root.CollectModules(all);
    for (ug_base* m : all) m->sortOrder = -1;
    ComputeSortOrders(all);
    root.BuildVoices();
    master.Start(root);
    master.running = true;
  }

  void Midi(int time, std::uint32_t word) { pending.emplace_back(time, word); }
  void Note(int time, int note, int velocity = 100, int channel = 0) {
    Midi(time, 0x90u | static_cast<std::uint32_t>(channel) | static_cast<std::uint32_t>(note) << 8 |
                   static_cast<std::uint32_t>(velocity) << 16);
  }
  void NoteOff(int time, int note, int channel = 0) {
    Midi(time, 0x80u | static_cast<std::uint32_t>(channel) | static_cast<std::uint32_t>(note) << 8 | 64u << 16);
  }

  // Runs total samples in host blocks, delivering MIDI like a host does.
  void Render(int total) {
    const auto earlier = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(pending.begin() + static_cast<std::ptrdiff_t>(next), pending.end(), earlier))
      std::stable_sort(pending.begin() + static_cast<std::ptrdiff_t>(next), pending.end(), earlier);
    while (total > 0) {
      const int n = std::min(total, block);
      const int start = master.now;
      UPlug* out = feeder->GetPlug(0);
      bool sent = false;
      while (next < pending.size() && pending[next].first < start + n) {
        out->SendMidi(std::max(pending[next].first, start), pending[next].second);
        ++next;
        sent = true;
      }
      if (sent) out->WakeReceivers();
      master.Process(n);
      total -= n;
    }
  }

  bool IsActive(const EventProcessor* m) const {
    for (EventProcessor* p = master.activeHead; p != nullptr; p = p->next)
      if (p == m) return true;
    return false;
  }

  VoiceHost host;
  KrAudioMaster master;
  ug_container root;
  int block;
  VoiceMidiFeeder* feeder = nullptr;
  std::vector<std::pair<int, std::uint32_t>> pending;
  std::size_t next = 0;
};

// The copy of a module in a voice (voice 0: the module itself).
template <class T>
T* InVoice(VoiceRig& rig, T* prototype, int voice) {
  const auto& modules = rig.root.voices[static_cast<std::size_t>(voice)]->modules;
  for (ug_base* m = prototype; m != nullptr; m = m->nextClone)
    if (std::find(modules.begin(), modules.end(), m) != modules.end()) return static_cast<T*>(m);
  return nullptr;
}

}  // namespace krtest
