// "Freq Analyser", "Freq Response Test" and "Monitor" in a running engine:
// the analyser finds a 1 kHz sine in its bin; the response test measures a
// wire flat and a low pass falling; the monitor prints the voltage at its rate, only
// when the text changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "modules/analyse/freq_analyser.h"
#include "modules/analyse/freq_response.h"
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
  // The panel gets the spectrum in bands; the loudest is the sine's bin.
  ASSERT_EQ(engine.host.curves.size(), 1u);
  const std::vector<float>& bands = engine.host.curves[0];
  ASSERT_EQ(bands.size(), 128u);
  EXPECT_EQ(*std::max_element(bands.begin(), bands.end()), analyser->Levels()[23]);
  // Then 10 analyses a second, without allocating.
  engine.host.keepCurves = false;
  StartCountingAllocations();
  engine.Render(44100, 64);
  EXPECT_EQ(StopCountingAllocations(), 0);
  EXPECT_EQ(analyser->Analyses(), 11);
  EXPECT_EQ(engine.host.curvesSent, 11);
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

// The sweep from 125 Hz to 16 kHz in octaves, through `between` (a wire
// when null) and back.
UFreqResp* MeasureThrough(TestEngine& engine, ug_base* between, const std::map<int, std::string>& betweenInputs = {}) {
  auto* test = AddNamedAs<UFreqResp>(engine, "Freq Response Test", 50, 0, 100);
  UPlug* sent = test->Reader()->GetPlug(UFreqRespOut::PN_SIGNAL_OUT);
  if (between != nullptr) {
    Connect(sent, between->GetPlug(0));
    Connect(between->GetPlug(2), test->GetPlug(UFreqResp::PN_SIGNAL_IN));
    ApplyInputs(*between, betweenInputs);
  } else {
    Connect(sent, test->GetPlug(UFreqResp::PN_SIGNAL_IN));
  }
  ApplyInputs(*test, {{UFreqResp::PN_LOW, "125"}, {UFreqResp::PN_HIGH, "16000"}, {UFreqResp::PN_POINTS, "8"}});
  engine.Start();
  engine.Render(40000, 64);
  return test;
}

TEST(FreqResponseTest, AWireMeasuresFlatAndALowPassFallsFromItsCutoff) {
  TestEngine wired(64);
  UFreqResp* flat = MeasureThrough(wired, nullptr);
  ASSERT_EQ(flat->Sweeps(), 1);
  for (int p = 0; p < 8; ++p) EXPECT_NEAR(flat->GainDb(p), 0.0, 0.01) << p;
  // The panel's curve after each point: the eighth is the whole sweep.
  ASSERT_GE(wired.host.curves.size(), 8u);
  EXPECT_EQ(wired.host.curves[7].size(), 8u);
  EXPECT_NEAR(wired.host.curves[7][7], 0.0, 0.01);
  EXPECT_DOUBLE_EQ(dsp::sweep::FrequencyOf(flat->SweepPlan(), 3), 1000.0);

  TestEngine filtered(64);
  ug_base* lowPass = AddNamed(filtered, "1 Pole LP", 75);
  UFreqResp* test = MeasureThrough(filtered, lowPass, {{1, "1"}, {3, "1"}});  // 1 kHz at 1 Volt/kHz
  ASSERT_EQ(test->Sweeps(), 1);
  EXPECT_NEAR(test->GainDb(0), 0.0, 0.3);   // 125 Hz
  EXPECT_NEAR(test->GainDb(3), -3.0, 0.7);  // 1 kHz
  EXPECT_NEAR(test->GainDb(6), -18.1, 2.5); // 8 kHz
  for (int p = 1; p < 8; ++p) EXPECT_LT(test->GainDb(p), test->GainDb(p - 1)) << p;
}

TEST(FreqResponseTest, NonsenseSettingsMakeASafePlan) {
  const dsp::sweep::Plan plan = dsp::sweep::Checked({44100.0, NAN, -5.0, 1000});
  EXPECT_EQ(plan.points, dsp::sweep::kMaxPoints);
  EXPECT_GT(plan.low, 0.0);
  EXPECT_GT(plan.high, plan.low);
  EXPECT_LT(plan.high, 22050.0);
  EXPECT_GT(dsp::sweep::MeasureSamples(plan, 0), 0);
}

}  // namespace

}  // namespace krtest
