// "Pan", "X-Mix", the switches, "Fixed Values" and the float/volt
// converters in a running engine.
#include <gtest/gtest.h>

#include <cmath>

#include "modules/mix/float_volts.h"
#include "modules/mix/pan.h"
#include "modules/mix/ug_switch.h"
#include "utility_rig.h"

using namespace kr;

using namespace krtest;

namespace {

// One block of a module with the given input values; the first sample of
// each output listed (and whether the module went to sleep).
std::vector<float> FirstSamples(const char* name, std::map<int, std::string> values, std::vector<int> outputs,
                                bool* slept = nullptr, int render = 256) {
  TestEngine engine(64);
  ug_base* module = AddNamed(engine, name, 50);
  std::vector<Tap*> taps;
  for (int o : outputs) taps.push_back(TapOn(engine, module->GetPlug(o)));
  ApplyInputs(*module, values);
  engine.Start();
  engine.Render(render, 64);
  std::vector<float> first;
  for (Tap* t : taps) first.push_back(t->samples.front());
  if (slept != nullptr) *slept = module->sleeping;
  return first;
}

}  // namespace

TEST(PanModule, LawsAtLeftCentreAndRightTimesTheVolume) {
  constexpr float kHalfPower = 0.70710678f;
  struct Row {
    const char* law;
    const char* pan;
    const char* volume;
    float left, right;  // per 10 V of input
  } rows[] = {
      {"0", "-5", "10", 1.0f, 0.0f},           {"0", "0", "10", 0.5f, 0.5f},
      {"0", "5", "10", 0.0f, 1.0f},            {"1", "0", "10", kHalfPower, kHalfPower},
      {"2", "0", "10", kHalfPower, kHalfPower}, {"1", "-5", "10", 1.0f, 0.0f},
      {"1", "0", "12", kHalfPower * 2.448f, kHalfPower * 2.448f},
      {"1", "0", "0", 0.0f, 0.0f},
  };
  for (const Row& r : rows) {
    bool slept = false;
    const auto out = FirstSamples("Pan", {{ug_pan::PN_INPUT, "10"}, {ug_pan::PN_PAN, r.pan},
                                          {ug_pan::PN_VOLUME, r.volume}, {ug_pan::PN_LAW, r.law}},
                                  {ug_pan::PN_LEFT, ug_pan::PN_RIGHT}, &slept);
    EXPECT_NEAR(out[0], r.left, 2e-3f * std::max(1.0f, r.left)) << "law " << r.law << " pan " << r.pan << " V";
    EXPECT_NEAR(out[1], r.right, 2e-3f * std::max(1.0f, r.right)) << "law " << r.law << " pan " << r.pan << " V";
    EXPECT_TRUE(slept) << "static inputs settle";
  }
}

TEST(PanModule, AStreamingPanMovesTheGainsEverySample) {
  TestEngine engine(64);
  auto* pan = AddNamedAs<ug_pan>(engine, "Pan", 50);
  StreamInto(engine, pan->GetPlug(ug_pan::PN_PAN), [](int t) { return -0.5f + t / 1000.0f; });
  Tap* left = TapOn(engine, pan->GetPlug(ug_pan::PN_LEFT));
  Tap* right = TapOn(engine, pan->GetPlug(ug_pan::PN_RIGHT));
  ApplyInputs(*pan, {{ug_pan::PN_INPUT, "10"}, {ug_pan::PN_VOLUME, "10"}, {ug_pan::PN_LAW, "0"}});
  engine.Start();
  engine.Render(1000, 64);
  for (int t : {0, 250, 500, 999}) {
    const float a = 0.5f - (-0.5f + t / 1000.0f);
    EXPECT_NEAR(left->samples[static_cast<std::size_t>(t)], a, 1e-5f) << t;
    EXPECT_NEAR(right->samples[static_cast<std::size_t>(t)], 1.0f - a, 1e-5f) << t;
  }
}

TEST(CrossFade, EndsAndMiddle) {
  // A = 5 V, B = -3 V.
  struct Row {
    const char* law;
    const char* mix;
    float out;
  } rows[] = {
      {"1", "5", 0.5f},  {"1", "-5", -0.3f}, {"0", "0", 0.1f},
      {"1", "0", 0.70710678f * 0.2f}, {"2", "0", 0.70710678f * 0.2f}, {"0", "2.5", 0.75f * 0.5f - 0.25f * 0.3f},
  };
  for (const Row& r : rows) {
    const auto out = FirstSamples("X-Mix", {{0, "5"}, {1, "-3"}, {2, r.mix}, {4, r.law}}, {3});
    EXPECT_NEAR(out[0], r.out, 1e-4f) << "law " << r.law << " mix " << r.mix << " V";
  }
}

TEST(Switches, ChoicesRouteAndTheOutputLeftBehindFallsSilent) {
  TestEngine engine(64);
  auto* one = AddNamedAs<ug_switch>(engine, "Switch (1->Many)", 50, 3);
  auto* many = AddNamedAs<ug_switch2>(engine, "Switch (Many->1)", 50, 3);
  auto* choice = engine.root.Add<EnumSource>(300);
  Connect(choice->GetPlug(0), one->GetPlug(ug_switch::PN_CHOICE));
  Connect(choice->GetPlug(0), many->GetPlug(ug_switch2::PN_CHOICE));
  StreamInto(engine, one->GetPlug(ug_switch::PN_INPUT), [](int t) { return 0.25f + 0.001f * static_cast<float>(t); });
  for (int k = 0; k < 3; ++k)
    StreamInto(engine, many->GetPlug(ug_switch2::PN_FIRST_INPUT + k), [k](int) { return 0.1f * static_cast<float>(k + 1); });
  std::vector<Tap*> outs;
  for (int k = 0; k < 3; ++k) outs.push_back(TapOn(engine, one->GetPlug(ug_switch::PN_FIRST_OUTPUT + k)));
  Tap* passed = TapOn(engine, many->GetPlug(ug_switch2::PN_OUTPUT));
  choice->Schedule(0, 0);
  choice->Schedule(100, 2);
  choice->Schedule(300, 9);  // beyond the list: the last plug
  choice->Schedule(500, -4);
  engine.Start();
  engine.Render(700, 64);
  auto in = [](int t) { return 0.25f + 0.001f * static_cast<float>(t); };
  EXPECT_EQ(outs[0]->samples[99], in(99));
  EXPECT_EQ(outs[0]->samples[100], 0.0f) << "left behind at the change";
  EXPECT_EQ(outs[2]->samples[100], in(100));
  EXPECT_EQ(outs[2]->samples[499], in(499));
  EXPECT_EQ(outs[0]->samples[500], in(500));
  EXPECT_EQ(outs[2]->samples[500], 0.0f);
  EXPECT_EQ(outs[1]->samples[650], 0.0f) << "never chosen";
  EXPECT_EQ(passed->samples[99], 0.1f);
  EXPECT_EQ(passed->samples[100], 0.3f);
  EXPECT_EQ(passed->samples[300], 0.3f);
  EXPECT_EQ(passed->samples[500], 0.1f);
}

TEST(Converters, FloatToVoltsRampsAndVoltsToFloatReports) {
  TestEngine engine(64);
  auto* toVolts = AddNamedAs<ug_float_to_volts>(engine, "FloatToVolts", 50);
  auto* value = engine.root.Add<FloatStepSource>(300);
  Connect(value->GetPlug(0), toVolts->GetPlug(ug_float_to_volts::PN_FLOAT_IN));
  Tap* volts = TapOn(engine, toVolts->GetPlug(ug_float_to_volts::PN_VOLTS_OUT), 20);
  auto* toFloat = AddNamedAs<ug_volts_to_float>(engine, "VoltsToFloat", 10);
  Connect(toVolts->GetPlug(ug_float_to_volts::PN_VOLTS_OUT), toFloat->GetPlug(ug_volts_to_float::PN_VOLTS_IN));
  auto* report = engine.root.Add<FloatProbe>(5);
  Connect(toFloat->GetPlug(ug_volts_to_float::PN_FLOAT_OUT), report->GetPlug(0));
  ApplyInputs(*toVolts, {{ug_float_to_volts::PN_SMOOTHING, "1"}});
  ApplyInputs(*toFloat, {{ug_volts_to_float::PN_RESPONSE, "4"}, {ug_volts_to_float::PN_RATE, "10"}});
  value->Schedule(0, 2.5f);
  value->Schedule(1000, 6.5f);
  value->Schedule(5000, std::numeric_limits<float>::quiet_NaN());
  engine.Start();
  engine.Render(20000, 64);
  EXPECT_FLOAT_EQ(volts->samples[0], 0.25f) << "a step at time 0";
  EXPECT_FLOAT_EQ(volts->samples[1000], 0.35f) << "4-sample ramp: first step";
  EXPECT_FLOAT_EQ(volts->samples[1003], 0.65f);
  EXPECT_EQ(volts->samples[5003], 0.0f) << "not a number gives 0 V";
  ASSERT_GE(report->log.size(), 3u);
  EXPECT_EQ(report->log[0].first, 0);
  EXPECT_FLOAT_EQ(static_cast<float>(report->log[0].second), 2.5f) << "DC (fast): volts";
  EXPECT_EQ(report->log[1].first, 4396) << "every trunc(44100 / 10.03) samples";
  EXPECT_FLOAT_EQ(static_cast<float>(report->log[1].second), 6.5f);
  EXPECT_TRUE(toFloat->sleeping) << "a settled input stops the updates";
}
