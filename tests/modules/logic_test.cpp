// Gates, counters, sample-and-hold, monostable, random, "Voltage To List",
// "OS Command" and "MIDI Filter" in a running engine, at exact samples.
#include <gtest/gtest.h>

#include "modules/logic/counters.h"
#include "modules/logic/logic_gates.h"
#include "modules/logic/random.h"
#include "modules/logic/system_command.h"
#include "modules/logic/voltage_to_enum.h"
#include "modules/midi/midi_filter.h"
#include "utility_rig.h"

using namespace kr;

using namespace krtest;

TEST(LogicGates, TruthTablesOnGateVoltagesAtTheChangingSample) {
  // Inputs (A, B) = (0,0) (0,1) (1,0) (1,1) from 0, 100, 200, 300; 1 is 5 V.
  const std::vector<std::pair<const char*, std::vector<float>>> tables = {
      {"AND Gate", {0, 0, 0, 5}}, {"OR Gate", {0, 5, 5, 5}}, {"XOR Gate", {0, 5, 5, 0}},
      {"NAND Gate", {5, 5, 5, 0}}, {"NOR Gate", {5, 0, 0, 0}},
  };
  for (const auto& [name, volts] : tables) {
    TestEngine engine(64);
    ug_base* gate = AddNamed(engine, name, 50, 2);
    StepsInto(engine, gate->GetPlug(1), {{0, 0.0f}, {200, 0.5f}});
    StepsInto(engine, gate->GetPlug(2), {{0, 0.0f}, {100, 0.5f}, {200, 0.0f}, {300, 0.5f}});
    Tap* out = TapOn(engine, gate->GetPlug(0));
    engine.Start();
    engine.Render(400, 64);
    for (int row = 0; row < 4; ++row) {
      EXPECT_EQ(out->samples[static_cast<std::size_t>(row * 100)] * 10.0f, volts[static_cast<std::size_t>(row)])
          << name << " row " << row;
      if (row > 0 && volts[static_cast<std::size_t>(row)] != volts[static_cast<std::size_t>(row - 1)]) {
        EXPECT_EQ(out->samples[static_cast<std::size_t>(row * 100 - 1)] * 10.0f, volts[static_cast<std::size_t>(row - 1)])
            << name << " changes at the step's own sample";
      }
    }
  }
}

TEST(LogicGates, SlowInputsSwitchOnlyBeyondTheBand) {
  TestEngine engine(64);
  ug_base* gate = AddNamed(engine, "OR Gate", 50, 1);
  // Up from 0 V to 5 V over 5000 samples, then back down.
  StreamInto(engine, gate->GetPlug(1), [](int t) { return (t < 5000 ? t : 10000 - t) * 1e-4f; });
  auto* inverse = AddNamed(engine, "NOT Gate", 50);
  StreamInto(engine, inverse->GetPlug(0), [](int t) { return (t < 5000 ? t : 10000 - t) * 1e-4f; });
  Tap* out = TapOn(engine, gate->GetPlug(0));
  Tap* notOut = TapOn(engine, inverse->GetPlug(1));
  engine.Start();
  engine.Render(10000, 64);
  auto firstAt = [](const std::vector<float>& s, float v, std::size_t from) {
    for (std::size_t t = from; t < s.size(); ++t)
      if (s[t] == v) return static_cast<int>(t);
    return -1;
  };
  EXPECT_EQ(notOut->samples[0], 0.5f) << "NOT is 5 V from the start";
  EXPECT_EQ(firstAt(out->samples, 0.5f, 0), 3334) << "true above 3.3333 V";
  EXPECT_EQ(firstAt(out->samples, 0.0f, 3334), 8334) << "false below 1.6667 V";
  EXPECT_EQ(firstAt(notOut->samples, 0.0f, 0), 3334);
}

TEST(Counters, SequencesResetsAndRamps) {
  TestEngine engine(64);
  auto* step = AddNamedAs<ug_logic_counter>(engine, "Step Counter", 50, 3);
  auto* step2 = AddNamedAs<ug_logic_counter>(engine, "Step Counter2", 50, 3);
  auto* binary = AddNamedAs<ug_logic_Bin_Count>(engine, "Binary Counter", 50);
  auto* shift = AddNamedAs<ug_logic_shift>(engine, "Shift Register", 50);
  // Clock high at 0 (an edge at time 0), then rising every 100 samples; reset at 450.
  std::vector<std::pair<int, float>> clock{{0, 0.5f}};
  for (int t = 50; t < 1000; t += 100) {
    clock.emplace_back(t, 0.0f);
    clock.emplace_back(t + 50, 0.5f);
  }
  for (ug_base* m : std::initializer_list<ug_base*>{step, step2, binary, shift}) {
    StepsInto(engine, m->GetPlug(0), clock);
    StepsInto(engine, m->GetPlug(m == shift ? 2 : 1), {{0, 0.0f}, {450, 0.5f}, {460, 0.0f}});
  }
  StepsInto(engine, shift->GetPlug(1), {{0, 0.5f}, {120, 0.0f}, {320, 0.5f}});  // the shifted-in level
  Tap* firstOut = TapOn(engine, step->GetPlug(2));
  Tap* b1 = TapOn(engine, binary->GetPlug(3));
  std::vector<std::pair<int, int>> steps, steps2, counts;
  std::vector<std::pair<int, unsigned>> bits;
  engine.Start();
  for (int t = 0; t < 1000; t += 10) {
    engine.Render(10, 10);
    steps.emplace_back(t, step->Step());
    steps2.emplace_back(t, step2->Step());
    counts.emplace_back(t, binary->Count());
    bits.emplace_back(t, shift->Bits());
  }
  EXPECT_EQ(steps[0].second, 1) << "the edge at time 0 counts";
  EXPECT_EQ(steps2[0].second, 0) << "Step Counter2 ignores it";
  EXPECT_EQ(steps[10].second, 2);  // after the rise at 100
  EXPECT_EQ(steps[20].second, 0) << "wraps after the last of three outputs";
  EXPECT_EQ(steps[45].second, 0) << "reset";
  EXPECT_EQ(steps[50].second, 1);
  EXPECT_EQ(steps2[10].second, 1);
  EXPECT_EQ(counts[0].second, 0) << "the binary counter ignores time 0 too";
  EXPECT_EQ(counts[40].second, 4);
  EXPECT_EQ(counts[46].second, 0);
  EXPECT_EQ(counts[99].second, 5);
  EXPECT_EQ(bits[40].second, 0b11001u) << "ones shifted in at 0, 100 and 400, zeros at 200 and 300";
  EXPECT_EQ(bits[46].second, 0u) << "reset clears";
  // Outputs ramp over four samples: step 0's output fell at 0 (the counter
  // left it) and rises at 200 (wrapped back to it).
  EXPECT_FLOAT_EQ(firstOut->samples[3], 0.0f);
  EXPECT_FLOAT_EQ(firstOut->samples[199], 0.0f);
  EXPECT_FLOAT_EQ(firstOut->samples[200], 0.125f);
  EXPECT_FLOAT_EQ(firstOut->samples[201], 0.25f);
  EXPECT_FLOAT_EQ(firstOut->samples[203], 0.5f);
  EXPECT_FLOAT_EQ(b1->samples[200], 0.125f) << "bit 1 rises with the count of 2";
}

TEST(SampleAndHold, TakesTheSampleAtTheRisingHoldSample) {
  TestEngine engine(64);
  ug_base* sh = AddNamed(engine, "Sample and Hold", 50);
  StreamInto(engine, sh->GetPlug(0), [](int t) { return 0.001f * static_cast<float>(t); });
  StepsInto(engine, sh->GetPlug(1), {{0, 0.0f}, {1000, 0.5f}, {1500, 0.0f}, {2000, 0.3f}, {2300, 0.5f}});
  Tap* out = TapOn(engine, sh->GetPlug(2));
  engine.Start();
  engine.Render(3000, 64);
  EXPECT_EQ(out->samples[999], 0.0f) << "0 until Hold first rises";
  EXPECT_EQ(out->samples[1000], 1.0f) << "the Audio sample of the rising sample";
  EXPECT_EQ(out->samples[1999], 1.0f);
  EXPECT_EQ(out->samples[2000], 2.0f);
  EXPECT_EQ(out->samples[2999], 2.0f) << "a Hold that stays high holds the first sample";
}

TEST(Monostable, OnePulseOfThePulseLengthPerEdge) {
  TestEngine engine(64);
  ug_base* mono = AddNamed(engine, "Monostable", 50);
  StepsInto(engine, mono->GetPlug(0), {{0, 0.0f}, {100, 0.5f}, {200, 0.0f}, {300, 0.5f}, {800, 0.0f}, {900, 0.5f}});
  Tap* out = TapOn(engine, mono->GetPlug(2));
  ApplyInputs(*mono);  // 0.1 V: 441 samples
  engine.Start();
  engine.Render(2000, 64);
  EXPECT_EQ(out->samples[99], 0.0f);
  EXPECT_EQ(out->samples[100], 0.5f);
  EXPECT_EQ(out->samples[540], 0.5f);
  EXPECT_EQ(out->samples[541], 0.0f) << "441 samples; the edge at 300 fell inside the pulse";
  EXPECT_EQ(out->samples[900], 0.5f);
  EXPECT_EQ(out->samples[1341], 0.0f);
  EXPECT_TRUE(mono->sleeping);
}

TEST(Random, OwnGeneratorWithinZeroToTenVoltsAndRepeatableWithOneSeed) {
  auto run = [](std::uint32_t seed) {
    TestEngine engine(64);
    auto* random = AddNamedAs<ug_random>(engine, "random", 50);
    random->SeedWith(seed);
    auto* trigger = engine.root.Add<BoolSource>(300);
    Connect(trigger->GetPlug(0), random->GetPlug(ug_random::PN_TRIGGER));
    for (int t = 0; t < 100; ++t) trigger->Schedule(t * 10, t % 2 == 0);
    Tap* out = TapOn(engine, random->GetPlug(ug_random::PN_OUT));
    engine.Start();
    engine.Render(1000, 64);
    return out->samples;
  };
  const auto a = run(42);
  EXPECT_EQ(a, run(42));
  EXPECT_NE(a, run(43));
  EXPECT_NE(a[5], a[25]) << "a new value at each trigger";
  EXPECT_EQ(a[25], a[35]) << "a trigger set false changes nothing";
  for (float v : a) ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << v;
}

TEST(VoltageToList, ItemsWithABandAndAnEmptyList) {
  TestEngine engine(64);
  auto* toList = AddNamedAs<ug_voltage_to_enum>(engine, "Voltage To List", 50);
  auto* empty = AddNamedAs<ug_voltage_to_enum>(engine, "Voltage To List", 50);
  toList->UseItemList("Low,Mid=5,High");
  empty->UseItemList("");
  for (ug_base* m : std::initializer_list<ug_base*>{toList, empty})
    StepsInto(engine, m->GetPlug(0), {{0, 0.0f}, {100, 0.5f}, {200, 1.0f}, {300, 0.6f}, {400, 0.5f}});
  auto* probe = engine.root.Add<EnumProbe>(5);
  Connect(toList->GetPlug(ug_voltage_to_enum::PN_LIST_OUT), probe->GetPlug(0));
  auto* none = engine.root.Add<EnumProbe>(5);
  Connect(empty->GetPlug(ug_voltage_to_enum::PN_LIST_OUT), none->GetPlug(0));
  engine.Start();
  engine.Render(500, 64);
  EXPECT_EQ(probe->log, (std::vector<std::pair<int, double>>{{0, 0}, {100, 5}, {200, 6}, {400, 5}}))
      << "0.6 stays within the last item's band";
  EXPECT_EQ(none->log, (std::vector<std::pair<int, double>>{{0, 0}})) << "an empty list sends nothing";
  EXPECT_EQ(empty->ItemCount(), 0);
}

TEST(OsCommand, EachEdgeAsksTheGuiSideAtMostFourTimesASecond) {
  TestEngine engine(64);
  auto* command = AddNamedAs<ug_system_command>(engine, "OS Command", 50);
  auto* longCommand = AddNamedAs<ug_system_command>(engine, "OS Command", 50);
  // A square wave: rising every 2000 samples from 0.
  for (ug_base* m : std::initializer_list<ug_base*>{command, longCommand})
    StreamInto(engine, m->GetPlug(ug_system_command::PN_TRIGGER), [](int t) { return (t / 1000) % 2 == 0 ? 0.5f : 0.0f; });
  ApplyInputs(*command, {{ug_system_command::PN_COMMAND, "notify-send \"a b\""}});
  ApplyInputs(*longCommand, {{ug_system_command::PN_COMMAND, std::string(5000, 'x')}});
  engine.Start();
  engine.Render(44100, 64);
  int sent = 0;
  for (const auto& c : engine.host.commands) {
    if (c.module != command) continue;
    EXPECT_EQ(c.text, "notify-send \"a b\"");
    EXPECT_FALSE(c.tooLong);
    ++sent;
  }
  EXPECT_EQ(command->Requests(), 4) << "edges at 0, 12000, 24000, 36000: a quarter second apart at least";
  EXPECT_EQ(sent, 4);
  EXPECT_EQ(longCommand->Requests(), 4);
  bool reported = false;
  for (const auto& c : engine.host.commands) reported |= c.module == longCommand && c.tooLong && c.text.empty();
  EXPECT_TRUE(reported) << "a command too long for the ring is not sent, only reported";
}

TEST(MidiFilterModule, DropsOutsideInclusiveRanges) {
  TestEngine engine(64);
  auto* filter = AddNamedAs<ug_midi_filter>(engine, "MIDI Filter", 50);
  auto* feeder = engine.root.Add<MidiFeeder>(300);
  auto* probe = engine.root.Add<MidiProbe>(5);
  Connect(feeder->GetPlug(0), filter->GetPlug(ug_midi_filter::PN_MIDI_IN));
  Connect(filter->GetPlug(ug_midi_filter::PN_MIDI_OUT), probe->GetPlug(0));
  ApplyInputs(*filter, {{ug_midi_filter::PN_CHANNEL_LO, "2"}, {ug_midi_filter::PN_CHANNEL_HI, "3"},
                        {ug_midi_filter::PN_NOTE_LO, "60"}, {ug_midi_filter::PN_NOTE_HI, "72"},
                        {ug_midi_filter::PN_VELOCITY_LO, "1"}});
  const std::vector<std::pair<std::uint32_t, bool>> messages = {
      {0x90u | 1 | 60u << 8 | 100u << 16, true},   // channel 2, note 60
      {0x90u | 0 | 60u << 8 | 100u << 16, false},  // channel 1
      {0x90u | 3 | 60u << 8 | 100u << 16, false},  // channel 4
      {0x90u | 2 | 72u << 8 | 1u << 16, true},     // bounds are inclusive
      {0x90u | 2 | 73u << 8 | 64u << 16, false},   // note above
      {0x90u | 2 | 64u << 8 | 0u << 16, false},    // velocity 0 below "Velocity Lo"
      {0x80u | 2 | 64u << 8 | 0u << 16, true},     // note off: note range only
      {0x80u | 2 | 59u << 8 | 0u << 16, false},
      {0xB0u | 1 | 7u << 8 | 99u << 16, true},     // controllers: channel only
      {0xB0u | 5 | 7u << 8 | 99u << 16, false},
      {0xF8u, true},                               // system messages always
  };
  std::vector<std::pair<int, std::uint32_t>> expected;
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const int time = 10 + 7 * static_cast<int>(i);
    feeder->Schedule(time, messages[i].first);
    if (messages[i].second) expected.emplace_back(time, messages[i].first);
  }
  engine.Start();
  engine.Render(200, 64);
  EXPECT_EQ(probe->log, expected);
}
