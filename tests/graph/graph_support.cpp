#include "graph_support.h"

#include <algorithm>

#include "document/line2.h"
#include "engine/ug_midi_device.h"
#include "graph/host_io_wiring.h"
#include "registry/module_registry.h"

using namespace kr;

namespace krtest {
namespace {

class TestPass : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestPass>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &in_);
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "0", "", 0, "", &out_);
  }
  void Open() override {
    ug_base::Open();
    SetProcessFunction(&TestPass::Copy);
    GetPlug(1)->SetState(clock, ST_RUN);
  }
  void Copy(int offset, int count) { std::copy_n(in_ + offset, count, out_ + offset); }

 private:
  float* in_ = nullptr;
  float* out_ = nullptr;
};

class TestNotes : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestNotes>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "MIDI In", DR_IN, DT_MIDI);
  }
};

class TestMidi : public ug_midi_device {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestMidi>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "MIDI In", DR_IN, DT_MIDI);
    list.emplace_back(nullptr, nullptr, "MIDI Out", DR_OUT, DT_MIDI);
  }
  void OnMidi(int time, std::uint32_t message) override { GetPlug(1)->SendMidi(time, message); }
};

// A static source: "Out" holds "Level" (volts) as a step, never streams.
class TestLevel : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestLevel>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&level_, &typeid(float), "Level", DR_IN, DT_FLOAT, "0");
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "0", "", 0, "", &out_);
  }
  void Open() override {
    ug_base::Open();
    SetProcessFunction(&TestLevel::Fill);
  }
  void OnPlugStateChange(int time, connector*, PlugState) override { GetPlug(1)->SetState(time, ST_STATIC); }
  void Fill(int offset, int count) { std::fill_n(out_ + offset, count, level_ * 0.1f); }

 private:
  float level_ = 0.0f;
  float* out_ = nullptr;
};

// Like TestMidi, but raises the first data byte by one.
class TestMidiPlusOne : public TestMidi {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestMidiPlusOne>(); }
  void OnMidi(int time, std::uint32_t message) override { GetPlug(1)->SendMidi(time, message + 0x100); }
};

const bool kRegistered = [] {
  RegisterModule(std::make_unique<Module_Info>(kLevel, "", 0, 0, nullptr, AudioFactoryFor<TestLevel>, MF_STRUCTURE_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kMidiPlusOne, "", 0, 0, nullptr, AudioFactoryFor<TestMidiPlusOne>,
                                               MF_STRUCTURE_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kPass, "", 0, 0, nullptr, AudioFactoryFor<TestPass>, MF_STRUCTURE_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kNoteSource, "", 0, 0, nullptr, AudioFactoryFor<TestNotes>,
                                               MF_STRUCTURE_VIEW | MF_NOTE_SOURCE | MF_VOICE_SOURCE));
  RegisterModule(
      std::make_unique<Module_Info>(kMidiThrough, "", 0, 0, nullptr, AudioFactoryFor<TestMidi>, MF_STRUCTURE_VIEW));
  return true;
}();

}  // namespace

CUG& Patch::Add(CContainer& where, const char* name, const std::string& title) {
  std::unique_ptr<CUG> made = MakeDocumentObjectByName(name);
  if (!title.empty()) made->SetTitle(title);
  return static_cast<CUG&>(where.AddChild(std::move(made)));
}

CContainer& Patch::AddContainer(CContainer& where, const std::string& title) {
  auto& c = static_cast<CContainer&>(Add(where, "Container", title));
  c.FindOrCreateIOModule();
  return c;
}

void Patch::Wire(CContainer& where, CPlug2& a, CPlug2& b) { where.MakeWire(a, b); }

CPlug2& PlugNamed(CUG& module, const char* name) {
  CPlug2* plug = module.FindPlug(name);
  if (plug == nullptr) throw std::runtime_error(std::string("no plug ") + name);
  return *plug;
}

Patch MakePatch(int inputs, int outputs, bool midi) {
  Patch p;
  p.root = std::unique_ptr<CContainer>(static_cast<CContainer*>(MakeDocumentObjectByName("Container").release()));
  p.top = &p.AddContainer(*p.root, "Synth");
  p.io = p.top->FindIOModule();
  for (int i = 0; i < inputs; ++i) p.audioIn.push_back(AddBoundaryPlug(*p.top, DR_IN, DT_AUDIO));
  for (int i = 0; i < outputs; ++i) p.audioOut.push_back(AddBoundaryPlug(*p.top, DR_OUT, DT_AUDIO));
  if (midi) {
    p.midiIn = AddBoundaryPlug(*p.top, DR_IN, DT_MIDI);
    p.midiOut = AddBoundaryPlug(*p.top, DR_OUT, DT_MIDI);
  }
  return p;
}

void WireHost(Patch& patch) {
  WireTopContainer(*patch.root, *patch.top);
  patch.root->AttachToParent(nullptr);
}

bool Rig::Start(Patch& patch, int blockSize, int ins, int outs) {
  inputs.assign(static_cast<std::size_t>(ins), std::vector<float>(8192, 0.0f));
  outputs.assign(static_cast<std::size_t>(outs), std::vector<float>(8192, 0.0f));
  return engine.StartSound(*patch.root, blockSize);
}

std::uint32_t Rig::NextBlockStart() {
  return engine.Master() != nullptr ? static_cast<std::uint32_t>(engine.Master()->now) : 0;
}

void Rig::Block(int frames, int at) {
  std::vector<float*> in, out;
  for (auto& v : inputs) in.push_back(v.data() + at);
  for (auto& v : outputs) out.push_back(v.data());
  blocks.Run(engine, in, out, frames);
}

}  // namespace krtest
