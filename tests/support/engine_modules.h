// Small modules and an engine harness for the engine, sound and voice tests
// and the benchmarks.
#pragma once

#include <algorithm>
#include <bit>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/audio_master.h"
#include "engine/container_hooks.h"
#include "engine/module_files.h"
#include "engine/ug_base.h"
#include "engine/ug_generic_1_1.h"

using namespace kr;

namespace krtest {

struct FakeHost : AudioMasterHost {
  const vst::VstTimeInfo* GetHostTime(std::int32_t filter) override {
    lastFilter = filter;
    return hasTime ? &info : nullptr;
  }
  double SampleRate() const override { return rate; }
  void RefreshParameters() override { ++refreshes; }
  void PostMessageBox(std::string_view text, std::int32_t) override { boxes.emplace_back(text); }
  kr::ModuleFiles* Files() override { return files; }
  void PostDisplayValue(ug_base& module, float value) override { displays.push_back({&module, module.clock, value}); }
  void PostCommand(ug_base& module, std::string_view text, bool tooLong) override {
    commands.push_back({&module, module.clock, std::string(text), tooLong});
  }
  void PostPrint(ug_base& module, std::string_view text) override { prints.push_back({&module, module.clock, std::string(text)}); }
  void PostCurve(ug_base&, const float* values, int count) override {
    ++curvesSent;
    if (keepCurves) curves.emplace_back(values, values + count);
  }
  void PostPlugText(ug_base& module, std::int32_t plug, std::string_view text) override {
    plugTexts.push_back({&module, module.clock, plug, std::string(text)});
  }

  struct Display {
    ug_base* module;
    int clock;  // the module's clock when it sent (the time of an update)
    float value;
  };
  struct Command {
    ug_base* module;
    int clock;
    std::string text;
    bool tooLong;
  };

  vst::VstTimeInfo info{};
  bool hasTime = true;
  double rate = 44100.0;
  std::int32_t lastFilter = 0;
  int refreshes = 0;
  std::vector<std::string> boxes;
  kr::ModuleFiles* files = nullptr;  // the files modules open and write (none unless a test gives some)
  std::vector<Display> displays;
  std::vector<Command> commands;
  struct Print {
    ug_base* module;
    int clock;
    std::string text;
  };
  std::vector<Print> prints;  // console lines ("prnt")
  struct PlugText {
    ug_base* module;
    int clock;
    std::int32_t plug;
    std::string text;
  };
  std::vector<PlugText> plugTexts;  // "updt"
  std::vector<std::vector<float>> curves;  // "curv"
  int curvesSent = 0;
  bool keepCurves = true;  // false while a test counts the engine's allocations
};

// Holds the constant sources of unconnected inputs (as a container's I/O
// module does); asleep unless told.
class TestIoModule : public ug_base {
 public:
  TestIoModule() { flags |= UGF_IO_MOD; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestIoModule>(); }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
};

// Output = time * 0.001 (wrapping at 1000), always streaming.
class RampSource : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<RampSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&RampSource::Generate);
    ug_base::Open();
    GetPlug(0)->SetState(clock, ST_RUN);
  }
  void Generate(int offset, int count) {
    for (int i = 0; i < count; ++i) out[offset + i] = static_cast<float>((clock + i) % 1000) * 0.001f;
  }
  float* out = nullptr;
};

// Steps its output to scheduled values at exact times, then settles and sleeps.
class StepSource : public ug_base {
 public:
  static constexpr int kStepEvent = 100;
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<StepSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&StepSource::Fill);
    ug_base::Open();
  }
  void ScheduleStep(int time, float v) { AddEvent(NewEvent(time, kStepEvent, 0, nullptr, std::bit_cast<int>(v)), true); }
  void HandleEvent(ug_event* e) override {
    if (e->type != kStepEvent) return ug_base::HandleEvent(e);
    value = std::bit_cast<float>(e->extra);
    SetProcessFunction(&StepSource::Fill);
    GetPlug(0)->SetState(e->time, ST_STATIC);
    bool more = false;
    for (ug_event* x : events) more |= x->type == kStepEvent && x != e;
    if (!more) StartHold();
  }
  void Fill(int offset, int count) { std::fill_n(out + offset, count, value); }
  float* out = nullptr;
  float value = 0.0f;
};

// Output = input * gain, through the one-in, one-out family.
class Gain : public ug_generic_1_1 {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Gain>(); }
  void BlockFunction(int offset, int count) override {
    for (int i = 0; i < count; ++i) out_ptr[offset + i] = in_ptr[offset + i] * gain;
    samplesRun += count;
  }
  float gain = 0.5f;
  long samplesRun = 0;
};

// Consumes its input without storing it; never sleeps.
class Sink : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Sink>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &in);
  }
  void Open() override {
    SetProcessFunction(&Sink::Eat);
    ug_base::Open();
    if (unmarked) flags |= UGF_NO_MARKING;
  }
  void Eat(int offset, int count) {
    for (int i = 0; i < count; ++i) sum += in[offset + i];
  }
  float* in = nullptr;
  float sum = 0.0f;
  bool unmarked = false;  // left out of voice marking (listens to the voices' sum)
};

// Streams its input into a vector; never sleeps.
class Tap : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Tap>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &in);
  }
  void Open() override {
    SetProcessFunction(&Tap::Record);
    ug_base::Open();
  }
  void RunFor(int count) override {
    if (recordRuns) runs.emplace_back(clock, count);
    ug_base::RunFor(count);
  }
  void Record(int offset, int count) { samples.insert(samples.end(), in + offset, in + offset + count); }
  float* in = nullptr;
  std::vector<float> samples;
  bool recordRuns = true;
  std::vector<std::pair<int, int>> runs;  // (clock, count) per sub-block
};

// Records what happens to it, in order: process stretches and handled events.
class Recorder : public ug_base {
 public:
  struct Entry {
    char what;  // 'p' process, 'e' event
    int time;   // clock at the time
    int a;      // offset or event type
    int b;      // count or event value
    float x = 0.0f, y = 0.0f;  // the two float inputs when the entry was made
  };
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Recorder>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&x, &typeid(float), "X", DR_IN, DT_FLOAT, "0");
    list.emplace_back(&y, &typeid(float), "Y", DR_IN, DT_FLOAT, "0");
    list.emplace_back(&midi, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "");
  }
  void Open() override {
    SetProcessFunction(&Recorder::Work);
    ug_base::Open();
  }
  void Work(int offset, int count) {
    log.push_back({'p', clock, offset, count, x, y});
    if (sleepy) SleepCheck(offset, count);
  }
  void HandleEvent(ug_event* e) override {
    log.push_back({'e', clock, e->type, e->value, x, y});
    ug_base::HandleEvent(e);
  }
  std::vector<Entry> EventsOnly() const {
    std::vector<Entry> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out), [](const Entry& e) { return e.what == 'e'; });
    return out;
  }
  bool sleepy = false;  // checks for sleep after every stretch
  float x = 0.0f, y = 0.0f;
  MidiInEndpoint midi;
  std::vector<Entry> log;
};

// A DT_FLOAT source that tests drive by hand.
class FloatSource : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<FloatSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&value, &typeid(float), "Out", DR_OUT, DT_FLOAT, "0");
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  void Step(int time, float v) {
    value = v;
    GetPlug(0)->SetState(time, ST_STATIC);
  }
  float value = 0.0f;
};

// A MIDI sender for the link tests.
class MidiSource : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<MidiSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&out, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "");
  }
  MidiOutEndpoint out;
};

// Sums the audio of any number of sources: the combiner the container hands out.
class TestAdder : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestAdder>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
    list.emplace_back(nullptr, nullptr, "In", DR_IN, DT_AUDIO, "0", "", PF_SUM | PF_SIGNAL);
  }
  void Open() override {
    SetProcessFunction(&TestAdder::Sum);
    ug_base::Open();
  }
  void OnPlugStateChange(int time, connector*, PlugState) override { GetPlug(0)->SetState(time, ST_RUN); }
  void Sum(int offset, int count) {
    std::fill_n(out + offset, count, 0.0f);
    for (connector* c : GetPlug(1)->connections) {
      const float* in = c->from->GetSampleBuffer();
      for (int i = 0; i < count; ++i) out[offset + i] += in[offset + i];
    }
  }
  float* out = nullptr;
};

// The root of a hand-made graph: owns the modules, opens them, and answers
// the engine's requests for constant sources and combiners.
class TestContainer : public ug_base, public ContainerHooks {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestContainer>(); }

  template <class T>
  T* Add(int order) {
    auto module = std::make_unique<T>();
    T* raw = module.get();
    raw->container = this;
    raw->audioMaster = audioMaster;
    raw->sortOrder = order;
    raw->CreatePlugs();
    raw->AllocatePlugData();
    modules.push_back(std::move(module));
    return raw;
  }

  void Open() override {
    for (auto& m : modules) {
      m->audioMaster = audioMaster;
      m->Open();
    }
    flags |= UGF_OPEN;
  }

  ug_base* ConstantSourceModule(bool) override {
    if (io == nullptr) io = Add<TestIoModule>(10000);
    return io;
  }
  ug_base* CreateCombiner(PlugDataType type) override {
    if (!combinersAllowed || type != DT_AUDIO) return nullptr;
    return Add<TestAdder>(combinerOrder);
  }

  std::vector<std::unique_ptr<ug_base>> modules;
  ug_base* io = nullptr;
  bool combinersAllowed = false;
  int combinerOrder = 5;
};

struct TestEngine {
  explicit TestEngine(int hostBlockSize) : master(host, 1) {
    master.SetBlockSize(hostBlockSize);
    root.audioMaster = &master;
  }
  void Start() {
    master.Start(root);
    master.running = true;
  }
  int L() const { return master.BlockLength(); }
  bool IsActive(EventProcessor* m) const {
    for (EventProcessor* p = master.activeHead; p != nullptr; p = p->next)
      if (p == m) return true;
    return false;
  }
  std::vector<EventProcessor*> ActiveList() const {
    std::vector<EventProcessor*> out;
    for (EventProcessor* p = master.activeHead; p != nullptr; p = p->next) out.push_back(p);
    return out;
  }
  // Runs total samples in host blocks of the given size.
  void Render(int total, int hostBlock) {
    while (total > 0) {
      const int n = std::min(total, hostBlock);
      master.Process(n);
      total -= n;
    }
  }

  FakeHost host;
  KrAudioMaster master;
  TestContainer root;
};

}  // namespace krtest
