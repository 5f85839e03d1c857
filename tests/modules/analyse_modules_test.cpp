// "Freq Analyser" and "Monitor" in a running engine: the analyser finds a
// 1 kHz sine in its bin; the monitor prints the voltage at its rate, only
// when the text changes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "modules/analyse/freq_analyser.h"
#include "modules/analyse/monitor.h"
#include "support/allocation_count.h"
#include "utility_rig.h"

namespace krtest {
using namespace kr;

namespace {

TEST(FreqAnalyser, FindsAOneKilohertzSineInTheRightBin) {
  TestEngine engine(64);
  auto* analyser = AddNamedAs<ug_freq_anal>(engine, "Freq Analyser", 50);
  ASSERT_NE(analyser, nullptr);
  StreamInto(engine, analyser->GetPlug(ug_freq_anal::PN_SIGNAL), [](int t) {
    return static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * t / 44100.0));
  });
  ApplyInputs(*analyser);  // 1024 samples, 10 a second
  engine.Start();
  engine.Render(1000, 64);
  EXPECT_TRUE(analyser->Levels().empty()) << "not before a whole frame";
  engine.Render(24, 64);
  ASSERT_EQ(analyser->Levels().size(), 513u);
  EXPECT_EQ(analyser->PeakBin(), 23);
  EXPECT_NEAR(analyser->BinFrequency(analyser->PeakBin()), 1000.0, 44100.0 / 1024 / 2);
  EXPECT_NEAR(analyser->Levels()[23], -6.0, 0.5);  // 5 V
  EXPECT_EQ(engine.host.moduleRefreshes, 1);
  // Then 10 analyses a second, without allocating.
  StartCountingAllocations();
  engine.Render(44100, 64);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(analyser->Analyses(), 11);
  EXPECT_EQ(analyser->PeakBin(), 23);
}

TEST(Monitor, PrintsTheVoltageAtItsRateWhenTheTextChanges) {
  TestEngine engine(64);
  auto* monitor = AddNamedAs<ug_monitor>(engine, "Monitor", 50);
  ASSERT_NE(monitor, nullptr);
  // 2.5 V, then 0.125 V from sample 10000; unchanged at the updates in between.
  StepsInto(engine, monitor->GetPlug(ug_monitor::PN_SIGNAL), {{0, 0.25f}, {10000, 0.0125f}});
  ApplyInputs(*monitor, {{ug_monitor::PN_RATE, "10"}});
  engine.Start();
  engine.Render(44100, 64);
  ASSERT_EQ(engine.host.prints.size(), 2u);
  EXPECT_EQ(engine.host.prints[0].text, "2.500 V");
  EXPECT_EQ(engine.host.prints[1].text, "0.125 V");
  // At the first update after the step (they come every 4410 samples).
  EXPECT_GE(engine.host.prints[1].clock, 10000 - 64);
  EXPECT_LE(engine.host.prints[1].clock, 13230);
  EXPECT_EQ(monitor->flags & UGF_MONITOR, UGF_MONITOR);
  char line[8];
  EXPECT_EQ(ug_monitor::Describe(-1.23456f, line, sizeof line), 7u);  // cut to the buffer
  EXPECT_STREQ(line, "-12.346");
}

}  // namespace

}  // namespace krtest
