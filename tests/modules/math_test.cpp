// The arithmetic modules in a running engine: values in volts, the
// streaming and static paths, zero that absorbs, and the peak follower.
#include <gtest/gtest.h>

#include <cmath>

#include "modules/math/single_input.h"
#include "utility_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct Result {
  float first;  // the output's first sample
  bool sleeping;
};

Result Static(const char* name, std::map<int, std::string> values, int output) {
  TestEngine engine(64);
  ug_base* module = AddNamed(engine, name, 50);
  Tap* tap = TapOn(engine, module->GetPlug(output));
  ApplyInputs(*module, values);
  engine.Start();
  engine.Render(256, 64);
  return {tap->samples.front(), module->sleeping};
}

}  // namespace

TEST(ArithmeticModules, ValuesInVoltsAndSleepWhenStatic) {
  struct Row {
    const char* name;
    std::map<int, std::string> values;
    int output;
    float volts;
  } rows[] = {
      {"Ring Modulator", {{0, "5"}, {1, "2"}}, 2, 1.0f},
      {"Level Adj", {{0, "5"}, {1, "2"}}, 2, 1.0f},
      {"Multiply", {{0, "5"}, {1, "2"}}, 2, 10.0f},
      {"Divide", {{0, "5"}, {1, "2"}}, 2, 2.5f},
      {"Divide", {{0, "5"}}, 2, 0.0f},  // Input 2 unconnected: 0 V
      {"Divide", {{0, "5"}, {1, "0"}}, 2, 0.0f},
      {"Subtract", {{0, "5"}, {1, "2"}}, 2, 3.0f},
      {"Comparator", {{0, "3"}, {1, "2"}}, 2, 5.0f},
      {"Comparator", {{0, "2"}, {1, "2"}}, 2, -5.0f},
      {"Comparator", {{0, "3"}, {1, "2"}, {3, "7.5"}}, 2, 7.5f},
      {"Clipper", {{0, "7"}}, 3, 5.0f},
      {"Clipper", {{0, "-7"}}, 3, -2.0f},
      {"Clipper", {{0, "1"}}, 3, 1.0f},
      {"Quantiser", {{0, "2.5"}}, 2, 3.0f},
      {"Quantiser", {{0, "2.4"}}, 2, 2.0f},
      {"Quantiser", {{0, "2.4"}, {1, "0.5"}}, 2, 2.5f},
      {"Quantiser", {{0, "2.4"}, {1, "0"}}, 2, 2.4f},  // a zero step: 1e-9
      {"Inverter", {{0, "3"}}, 1, -3.0f},
      {"Rectifier", {{0, "-3"}}, 1, 3.0f},
      {"Ceil", {{0, "2.3"}}, 1, 3.0f},
      {"Floor", {{0, "2.3"}}, 1, 2.0f},
      {"Floor", {{0, "-2.3"}}, 1, -3.0f},
  };
  for (const Row& r : rows) {
    const Result result = Static(r.name, r.values, r.output);
    EXPECT_NEAR(result.first * 10.0f, r.volts, 1e-5f) << r.name;
    EXPECT_TRUE(result.sleeping) << r.name << " with static inputs settles and sleeps";
  }
}

TEST(ArithmeticModules, StreamingInputsTheOtherHeldAndZeroAbsorbs) {
  auto wave = [](int t) { return 0.3f * std::sin(0.01f * static_cast<float>(t)); };
  for (const char* name : {"Multiply", "Divide", "Subtract"}) {
    for (int streaming : {1, 2, 3}) {
      TestEngine engine(64);
      ug_base* m = AddNamed(engine, name, 50);
      if ((streaming & 1) != 0) StreamInto(engine, m->GetPlug(0), wave);
      if ((streaming & 2) != 0) StreamInto(engine, m->GetPlug(1), [&](int t) { return 0.2f + wave(t + 7); });
      Tap* out = TapOn(engine, m->GetPlug(2));
      ApplyInputs(*m, {{0, "4"}, {1, "-2"}});
      engine.Start();
      engine.Render(500, 64);
      for (int t = 0; t < 500; t += 37) {
        const float a = (streaming & 1) != 0 ? wave(t) : 0.4f;
        const float b = (streaming & 2) != 0 ? 0.2f + wave(t + 7) : -0.2f;
        const float expected = std::string(name) == "Multiply" ? a * b * 10.0f
                               : std::string(name) == "Divide" ? a / b * 0.1f
                                                               : a - b;
        ASSERT_FLOAT_EQ(out->samples[static_cast<std::size_t>(t)], expected) << name << " " << streaming << " at " << t;
      }
      EXPECT_FALSE(m->sleeping);
    }
  }
  TestEngine engine(64);
  ug_base* ring = AddNamed(engine, "Ring Modulator", 50);
  StreamInto(engine, ring->GetPlug(0), wave);
  ApplyInputs(*ring, {{1, "0"}});
  Tap* out = TapOn(engine, ring->GetPlug(2));
  engine.Start();
  engine.Render(500, 64);
  EXPECT_TRUE(ring->sleeping) << "a product with a static 0 V is static";
  EXPECT_EQ(out->samples[400], 0.0f);
}

TEST(PeakFollowerModule, OneVoltIsAMillisecondThenItSettles) {
  TestEngine engine(64);
  auto* follower = AddNamedAs<ug_peak_det>(engine, "Peak Follower", 50);
  StepsInto(engine, follower->GetPlug(ug_peak_det::PN_IN), {{0, 0.0f}, {100, -0.5f}, {3000, 0.0f}});
  Tap* out = TapOn(engine, follower->GetPlug(ug_peak_det::PN_OUT));
  ApplyInputs(*follower, {{ug_peak_det::PN_ATTACK, "1"}, {ug_peak_det::PN_DECAY, "1"}});
  engine.Start();
  engine.Render(44100, 64);
  // |x| = 0.5 from 100: 1 - e^-1 of the way after 44.1 samples.
  EXPECT_NEAR(out->samples[100 + 44], 0.5f * (1.0f - std::exp(-45.0f / 44.1f)), 2e-3f);
  EXPECT_NEAR(out->samples[2999], 0.5f, 1e-6f);
  EXPECT_NEAR(out->samples[3000 + 44], 0.5f * std::exp(-45.0f / 44.1f), 2e-3f);
  EXPECT_LT(out->samples[44099], 1e-20f) << "falls to rest";
  EXPECT_EQ(out->samples[44099], follower->Level());
  EXPECT_TRUE(follower->sleeping) << "at rest, settled, asleep";
}
