// Every module of the delay, mixing, logic, arithmetic and meter families at
// once: the output does not depend on the host block size, and a running
// engine with all of them (delay times and switch positions changing)
// allocates nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "modules/logic/random.h"
#include "modules/logic/voltage_to_enum.h"
#include "support/allocation_count.h"
#include "utility_rig.h"

using namespace kr;

using namespace krtest;

namespace {

// "Feedback Delay" is left out: it delays by the sub-block length, which
// follows the host block (its own test measures that).
const char* const kModules[] = {
    "Delay", "Delay2", "MIDI Adder(obsolete)", "Pan", "X-Mix", "Switch (1->Many)", "Z-Filter obsolete",
    "Switch (Many->1)", "Fixed Values", "FloatToVolts", "VoltsToFloat", "Level Adj", "Ring Modulator", "Multiply",
    "Divide", "Subtract", "Comparator", "Clipper", "Quantiser", "Inverter", "Rectifier", "Ceil", "Floor",
    "Peak Follower", "AND Gate", "OR Gate", "XOR Gate", "NAND Gate", "NOR Gate", "NOT Gate", "Step Counter",
    "Step Counter2", "Decade Counter", "Binary Counter", "Shift Register", "Monostable", "Sample and Hold", "random",
    "Voltage To List", "OS Command", "MIDI Filter", "LED Indicator", "Peak Meter", "Volt Meter",
};

enum class Feed { Streaming, Stepping, Mixed };

float Wave(int k, int t) {
  const float slow = std::sin(0.0007f * static_cast<float>((k + 1) * t));
  const float fast = std::sin(0.031f * static_cast<float>(t) + static_cast<float>(k));
  return 0.45f * slow + 0.2f * fast + ((t / (900 + 130 * k)) % 2 == 0 ? 0.15f : -0.1f);
}

std::vector<std::pair<int, float>> Steps(int k, int offset) {
  const float values[] = {0.0f, 0.5f, -0.3f, 0.9f, 0.2f, 0.4f, 0.0f, 0.35f};
  std::vector<std::pair<int, float>> steps{{offset, 0.0f}};
  for (int i = 1; i < 8; ++i) steps.emplace_back(offset + 397 * i + 61 * k, values[(i + k) % 8]);
  return steps;
}

struct Recording {
  std::vector<std::vector<float>> audio;
  std::vector<std::vector<std::pair<int, double>>> values;
  std::vector<std::pair<int, std::uint32_t>> midi;
  std::vector<float> displays;
  std::vector<std::string> commands;
  // Audio compared bit for bit (a -0 is not a 0).
  bool operator==(const Recording& o) const {
    if (audio.size() != o.audio.size()) return false;
    for (std::size_t k = 0; k < audio.size(); ++k)
      if (audio[k].size() != o.audio[k].size() ||
          std::memcmp(audio[k].data(), o.audio[k].data(), audio[k].size() * sizeof(float)) != 0)
        return false;
    return values == o.values && midi == o.midi && displays == o.displays && commands == o.commands;
  }
};

// Connects a source to every input of m: audio streams or steps (passes of
// `length` samples, `passes` times), lists, values and switches step, MIDI
// arrives; text inputs get a command. Answers the text inputs' values.
std::map<int, std::string> FeedInputs(TestEngine& engine, ug_base& m, Feed feed, int length, int passes) {
  std::map<int, std::string> texts;
  InterfaceList list;
  m.ListInterface(list);
  int audio = 0;
  for (int i = 0; i < m.PlugCount(); ++i) {
    UPlug* plug = m.GetPlug(i);
    if (!plug->IsInput()) continue;
    switch (plug->type) {
      case DT_AUDIO: {
        const int k = audio++;
        if (feed == Feed::Streaming || (feed == Feed::Mixed && k == 0)) {
          StreamInto(engine, plug, [k, length](int t) { return Wave(k, t % length); });
        } else {
          std::vector<std::pair<int, float>> all;
          for (int p = 0; p < passes; ++p)
            for (auto step : Steps(k, p * length)) all.push_back(step);
          StepsInto(engine, plug, all);
        }
        break;
      }
      case DT_ENUM: {  // the default, one above, one below (beyond a list's ends too)
        const int d = i < static_cast<int>(list.size()) ? std::atoi(list[static_cast<std::size_t>(i)].defaultText.c_str()) : 0;
        auto* source = engine.root.Add<EnumSource>(300);
        Connect(source->GetPlug(0), plug);
        for (int p = 0; p < passes; ++p)
          for (auto [t, v] : {std::pair{0, d}, {length / 4, d + 1}, {length / 2, d - 1}, {length * 3 / 4, d}})
            source->Schedule(p * length + t, static_cast<std::int16_t>(v));
        break;
      }
      case DT_FLOAT: {  // a delay time in seconds, or a value in volts
        auto* source = engine.root.Add<FloatStepSource>(300);
        Connect(source->GetPlug(0), plug);
        for (int p = 0; p < passes; ++p)
          for (auto [t, v] : {std::pair{0, 0.003f}, {length / 3, 0.0005f}, {length * 2 / 3, 2.5f}})
            source->Schedule(p * length + t, v);
        break;
      }
      case DT_BOOL: {
        auto* source = engine.root.Add<BoolSource>(300);
        Connect(source->GetPlug(0), plug);
        for (int p = 0; p < passes; ++p)
          for (int t = 0; t < length; t += 350) source->Schedule(p * length + t, (t / 350) % 3 != 1);
        break;
      }
      case DT_MIDI: {
        auto* feeder = engine.root.Add<MidiFeeder>(300);
        Connect(feeder->GetPlug(0), plug);
        for (int p = 0; p < passes; ++p)
          for (int t = 3; t < length; t += 211)
            feeder->Schedule(p * length + t, 0x90u | static_cast<std::uint32_t>(t % 5) | (static_cast<std::uint32_t>(t % 128) << 8) |
                                                 (static_cast<std::uint32_t>(t % 3) * 50u << 16));
        break;
      }
      case DT_TEXT:
        texts[i] = "true";
        break;
      default:
        break;
    }
  }
  return texts;
}

Recording Render(const char* name, int hostBlock, Feed feed) {
  // At 8000 Hz the meters update several times within the render.
  constexpr int kLength = 12000;
  TestEngine engine(hostBlock);
  engine.host.rate = 8000.0;
  ug_base* m = AddNamed(engine, name, 50, 3);
  if (auto* random = dynamic_cast<ug_random*>(m)) random->SeedWith(99);
  if (auto* toList = dynamic_cast<ug_voltage_to_enum*>(m)) toList->UseItemList("a,b=4,c,d=-2,e");
  const std::map<int, std::string> texts = FeedInputs(engine, *m, feed, kLength, 1);
  std::vector<Tap*> taps;
  std::vector<EnumProbe*> enums;
  std::vector<FloatProbe*> floats;
  MidiProbe* midi = nullptr;
  for (int i = 0; i < m->PlugCount(); ++i) {
    UPlug* plug = m->GetPlug(i);
    if (plug->direction != DR_OUT) continue;
    if (plug->type == DT_AUDIO) taps.push_back(TapOn(engine, plug));
    if (plug->type == DT_ENUM) Connect(plug, (enums.emplace_back(engine.root.Add<EnumProbe>(1)))->GetPlug(0));
    if (plug->type == DT_FLOAT) Connect(plug, (floats.emplace_back(engine.root.Add<FloatProbe>(1)))->GetPlug(0));
    if (plug->type == DT_MIDI) Connect(plug, (midi = engine.root.Add<MidiProbe>(1))->GetPlug(0));
  }
  ApplyInputs(*m, texts);
  engine.Start();
  engine.Render(kLength, hostBlock);
  Recording r;
  for (Tap* t : taps) r.audio.push_back(t->samples);
  for (EnumProbe* p : enums) r.values.push_back(p->log);
  for (FloatProbe* p : floats) r.values.push_back(p->log);
  if (midi != nullptr) r.midi = midi->log;
  for (const auto& d : engine.host.displays) r.displays.push_back(d.value);
  for (const auto& c : engine.host.commands) r.commands.push_back(c.text);
  return r;
}

}  // namespace

TEST(EveryModule, BitIdenticalForHostBlocksOf1And64And4096) {
  for (const char* name : kModules) {
    for (Feed feed : {Feed::Streaming, Feed::Stepping, Feed::Mixed}) {
      const Recording reference = Render(name, 64, feed);
      ASSERT_FALSE(reference.audio.empty() && reference.values.empty() && reference.midi.empty() &&
                   reference.displays.empty() && reference.commands.empty())
          << name << " records nothing";
      for (int hostBlock : {1, 4096}) {
        const Recording other = Render(name, hostBlock, feed);
        EXPECT_TRUE(other == reference) << name << " feed " << static_cast<int>(feed) << " host block " << hostBlock;
      }
    }
  }
}

TEST(EveryModule, AllRunningTogetherAllocateNothing) {
  constexpr int kLength = 8000;
  TestEngine engine(64);
  int order = 50;
  for (const char* name : kModules) {
    ug_base* m = AddNamed(engine, name, order, 3);
    ASSERT_NE(m, nullptr) << name;
    if (auto* toList = dynamic_cast<ug_voltage_to_enum*>(m)) toList->UseItemList("a,b=4,c,d=-2,e");
    // Two passes of the same traffic: the first warms the event pool.
    const auto texts = FeedInputs(engine, *m, Feed::Mixed, kLength, 2);
    for (int i = 0; i < m->PlugCount(); ++i) {
      UPlug* plug = m->GetPlug(i);
      if (plug->direction == DR_OUT && plug->type == DT_AUDIO) Connect(plug, engine.root.Add<krtest::Sink>(1)->GetPlug(0));
    }
    ApplyInputs(*m, texts);
  }
  ug_base* feedback = AddNamed(engine, "Feedback Delay", 40);
  StreamInto(engine, feedback->GetPlug(0), [](int t) { return Wave(7, t); });
  engine.host.displays.reserve(100000);
  engine.host.commands.reserve(100000);
  engine.Start();
  engine.Render(kLength, 64);
  krtest::StartCountingAllocations();
  engine.Render(kLength, 64);
  EXPECT_EQ(krtest::StopCountingAllocations(), 0);
  EXPECT_FALSE(engine.host.displays.empty());
  EXPECT_FALSE(engine.host.commands.empty());
}
