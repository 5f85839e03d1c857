// The meters' display values as the GUI side receives them: when they are
// sent, what they read, and that the meters sleep once nothing changes.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "modules/meter/meters.h"
#include "modules/meter/param_level_out.h"
#include "utility_rig.h"

using namespace kr;

using namespace krtest;

namespace {

using Sent = std::vector<std::pair<int, float>>;

Sent SentBy(const TestEngine& engine, const ug_base* module) {
  Sent sent;
  for (const auto& d : engine.host.displays)
    if (d.module == module) sent.emplace_back(d.clock, d.value);
  return sent;
}

}  // namespace

TEST(LedIndicator, OneSampleLightsItAndAWindowWithoutPutsItOut) {
  TestEngine engine(64);
  auto* led = AddNamedAs<ug_led>(engine, "LED Indicator", 50);
  // One sample above 3.333 V, at 10000.
  StepsInto(engine, led->GetPlug(ug_led::PN_IN), {{0, 0.0f}, {10000, 0.5f}, {10001, 0.0f}});
  ApplyInputs(*led);
  engine.Start();
  engine.Render(44100, 64);
  EXPECT_EQ(led->Period(), 7350) << "six updates a second at 44100 Hz";
  const Sent sent = SentBy(engine, led);
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[0], (std::pair{0, 0.0f})) << "the first update replaces -1";
  EXPECT_EQ(sent[1].second, 100.0f) << "lit at once, within the sample's block";
  EXPECT_EQ(sent[1].first, 10000);
  // Asleep until 10000, the input's change started a window: updates at
  // 17350 (still lit) and 24700, which ends a whole window without a crossing.
  EXPECT_EQ(sent[2], (std::pair{10000 + 2 * 7350, 0.0f})) << "dark at the first update after a whole window without";
  EXPECT_TRUE(led->sleeping);
}

TEST(PeakMeter, FiveVoltsReadNinetyAndSilenceFallsTwentyAnUpdate) {
  TestEngine engine(64);
  auto* meter = AddNamedAs<ug_peak_meter>(engine, "Peak Meter", 50);
  // +-5 V for a second, then silence (ten updates fall from 90 to -100).
  StreamInto(engine, meter->GetPlug(ug_peak_meter::PN_IN), [](int t) {
    return t < 44100 ? 0.5f * std::sin(2.0f * std::numbers::pi_v<float> * static_cast<float>(t) / 100.0f) : 0.0f;
  });
  ApplyInputs(*meter);
  engine.Start();
  engine.Render(3 * 44100, 64);
  const Sent sent = SentBy(engine, meter);
  ASSERT_GE(sent.size(), 6u);
  EXPECT_EQ(sent[0], (std::pair{0, -21.0f})) << "from -1 down by 20 (nothing measured yet)";
  EXPECT_NEAR(sent[1].second, 90.0f, 0.01f) << "a 5 V peak";
  EXPECT_EQ(sent[1].first, 7350);
  std::vector<float> tail;
  for (const auto& [t, v] : sent)
    if (t > 44100) tail.push_back(v);
  ASSERT_GE(tail.size(), 2u);
  for (std::size_t i = 1; i < tail.size(); ++i) EXPECT_GE(tail[i], tail[i - 1] - 20.0f - 1e-4f);
  EXPECT_EQ(tail.back(), -100.0f);
  EXPECT_FALSE(meter->sleeping) << "the input still streams";
}

TEST(VoltMeter, AveragesConvergeAndThenSleep) {
  TestEngine engine(64);
  auto* dc = AddNamedAs<ug_volt_meter>(engine, "Volt Meter", 50);
  auto* rms = AddNamedAs<ug_volt_meter>(engine, "Volt Meter", 50);
  StepsInto(engine, dc->GetPlug(ug_volt_meter::PN_IN), {{0, 0.0f}, {100, 0.5f}});
  StreamInto(engine, rms->GetPlug(ug_volt_meter::PN_IN), [](int t) { return 0.3f * std::sin(0.05f * static_cast<float>(t)); });
  ApplyInputs(*dc, {{ug_volt_meter::PN_RATE, "5"}});
  ApplyInputs(*rms, {{ug_volt_meter::PN_MODE, "1"}});
  engine.Start();
  engine.Render(3 * 44100, 64);
  EXPECT_EQ(dc->Period(), 8820) << "Fast: five a second";
  EXPECT_EQ(rms->Period(), 22050) << "Regular: two a second";
  EXPECT_NEAR(dc->Display(), 0.5f, 1e-4f) << "5 V DC";
  EXPECT_TRUE(dc->sleeping) << "a settled level stops the updates";
  const Sent r = SentBy(engine, rms);
  ASSERT_GE(r.size(), 2u);
  EXPECT_NEAR(std::sqrt(r[1].second), 0.3f / std::sqrt(2.0f), 0.01f) << "the RMS of the sine at the second update";
  EXPECT_EQ(r[1].first, 22050);
}

TEST(PatchParameterLevelOut, DcFastShowsTheSampleAndHeadroomItsComplement) {
  TestEngine engine(64);
  auto* dc = AddNamedAs<ug_param_float_out>(engine, "Patch Parameter - Level Out", 50);
  auto* headroom = AddNamedAs<ug_param_float_out>(engine, "Patch Parameter - Level Out", 50);
  StepsInto(engine, dc->GetPlug(ug_param_float_out::PN_IN), {{0, 0.0f}, {1000, 0.25f}});
  StepsInto(engine, headroom->GetPlug(ug_param_float_out::PN_IN), {{0, 0.0f}, {1000, 0.25f}});
  ApplyInputs(*dc);  // "DC (Fast)", 10 updates a second
  ApplyInputs(*headroom, {{ug_param_float_out::PN_RESPONSE, "3"}});
  engine.Start();
  engine.Render(2 * 44100, 64);
  const Sent d = SentBy(engine, dc);
  ASSERT_GE(d.size(), 2u);
  EXPECT_EQ(d[0], (std::pair{0, 0.0f})) << "the first update replaces -1000";
  EXPECT_EQ(d[1], (std::pair{4396, 0.25f})) << "every trunc(44100 / 10.03) samples";
  EXPECT_EQ(d.size(), 2u) << "a settled input sends nothing more";
  EXPECT_TRUE(dc->sleeping);
  const Sent h = SentBy(engine, headroom);
  ASSERT_GE(h.size(), 2u);
  EXPECT_EQ(h[0].second, 1.0f) << "silence leaves all the headroom";
  EXPECT_NEAR(h.back().second, 0.75f, 1e-3f) << "a 2.5 V peak leaves 1 - 0.25";
}
