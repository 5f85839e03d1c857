// Hand-made graphs for the delay, mixing, logic, arithmetic and meter
// modules: modules made through their registry entries (growing plug lists
// given a number of plugs, as a document would), sources that stream, step
// or send MIDI at exact times, and probes that record what comes out.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/audio_pair.h"
#include "engine/ug_midi_device.h"
#include "registry/module_registry.h"
#include "support/sound_rig.h"

using namespace kr;

namespace krtest {

using krtest::ApplyInputs;
using krtest::FunctionSource;
using krtest::FloatSource;
using krtest::StepSource;
using krtest::Tap;
using krtest::TestEngine;

// Adds the module a registry name makes, with `growing` plugs for each
// growing record of its list; a pair's reader is added too, ahead of it
// (at readerOrder when given).
inline ug_base* AddNamed(TestEngine& engine, const char* name, int order, int growing = 0, int readerOrder = -1) {
  Module_Info* entry = ModuleRegistry::Get().FindByName(name);
  if (entry == nullptr) return nullptr;
  std::unique_ptr<ug_base> module = entry->MakeAudioObject();
  if (module == nullptr) return nullptr;
  ug_base* raw = module.get();
  raw->container = &engine.root;
  raw->audioMaster = &engine.master;
  raw->sortOrder = order;
  raw->CreatePlugs();
  InterfaceList list;
  raw->ListInterface(list);
  for (const InterfaceObject& record : list) {
    if ((record.flags & (PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT)) == 0) continue;
    for (int n = 0; n < growing; ++n) {
      auto plug = std::make_unique<UPlug>(raw, record);
      plug->binding = nullptr;
      plug->data = nullptr;
      raw->AddPlug(std::move(plug));
    }
  }
  raw->AllocatePlugData();
  engine.root.modules.push_back(std::move(module));
  if (auto* pair = dynamic_cast<AudioPair*>(raw)) {
    if (std::unique_ptr<ug_base> reader = pair->MakeReader()) {
      reader->sortOrder = readerOrder >= 0 ? readerOrder : order + 1;
      reader->container = &engine.root;
      engine.root.modules.push_back(std::move(reader));
    }
  }
  return raw;
}

template <class T>
T* AddNamedAs(TestEngine& engine, const char* name, int order, int growing = 0, int readerOrder = -1) {
  return dynamic_cast<T*>(AddNamed(engine, name, order, growing, readerOrder));
}

// Steps a non-audio output (enum, float, bool) to scheduled values.
template <PlugDataType Type, class V>
class ValueSource : public ug_base {
 public:
  static constexpr int kStepEvent = 101;
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ValueSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&value, &typeid(V), "Out", DR_OUT, Type, "0");
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  void Schedule(int time, V v) {
    pending.emplace_back(time, v);
    AddEvent(NewEvent(time, kStepEvent, static_cast<int>(pending.size() - 1)), true);
  }
  void HandleEvent(ug_event* e) override {
    if (e->type != kStepEvent) return ug_base::HandleEvent(e);
    value = pending[static_cast<std::size_t>(e->value)].second;
    GetPlug(0)->SetState(e->time, ST_STATIC);
  }
  V value{};
  std::vector<std::pair<int, V>> pending;
};
using EnumSource = ValueSource<DT_ENUM, std::int16_t>;
using BoolSource = ValueSource<DT_BOOL, bool>;
using FloatStepSource = ValueSource<DT_FLOAT, float>;

// Records (time, value) of the state changes of a non-audio input (one
// entry for the same value at the same time).
template <PlugDataType Type, class V>
class ValueProbe : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ValueProbe>(); }
  void ListInterface(InterfaceList& list) override { list.emplace_back(&value, &typeid(V), "In", DR_IN, Type, "0"); }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  void OnPlugStateChange(int time, connector*, PlugState) override {
    const std::pair<int, double> entry{time, static_cast<double>(value)};
    if (log.empty() || log.back() != entry) log.push_back(entry);
  }
  V value{};
  std::vector<std::pair<int, double>> log;
};
using EnumProbe = ValueProbe<DT_ENUM, std::int16_t>;
using FloatProbe = ValueProbe<DT_FLOAT, float>;

// Sends MIDI words at scheduled times.
class MidiFeeder : public ug_base {
 public:
  static constexpr int kSendEvent = 102;
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<MidiFeeder>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&out, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "");
  }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  void Schedule(int time, std::uint32_t message) {
    AddEvent(NewEvent(time, kSendEvent, static_cast<int>(message)), true);
  }
  void HandleEvent(ug_event* e) override {
    if (e->type != kSendEvent) return ug_base::HandleEvent(e);
    GetPlug(0)->SendMidi(e->time, static_cast<std::uint32_t>(e->value));
    GetPlug(0)->WakeReceivers();
  }
  MidiOutEndpoint out;
};

// Records the MIDI it receives with its times.
class MidiProbe : public ug_midi_device {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<MidiProbe>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&in, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "");
  }
  void OnMidi(int time, std::uint32_t message) override { log.emplace_back(time, message); }
  MidiInEndpoint in;
  std::vector<std::pair<int, std::uint32_t>> log;
};

// A tap on an audio output.
inline Tap* TapOn(TestEngine& engine, UPlug* output, int order = 1) {
  Tap* tap = engine.root.Add<Tap>(order);
  tap->recordRuns = false;
  Connect(output, tap->GetPlug(0));
  return tap;
}

// A stream f(t) into an audio input.
inline FunctionSource* StreamInto(TestEngine& engine, UPlug* input, std::function<float(int)> f, int order = 200) {
  auto* source = engine.root.Add<FunctionSource>(order);
  source->f = std::move(f);
  Connect(source->GetPlug(0), input);
  return source;
}

// Steps into an audio input at exact times.
inline StepSource* StepsInto(TestEngine& engine, UPlug* input, std::vector<std::pair<int, float>> steps,
                             int order = 200) {
  auto* source = engine.root.Add<StepSource>(order);
  Connect(source->GetPlug(0), input);
  for (auto [t, v] : steps) source->ScheduleStep(t, v);
  return source;
}

}  // namespace krtest
