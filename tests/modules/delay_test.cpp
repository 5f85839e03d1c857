// "Delay", "Delay2" and "Feedback Delay" in a running engine: delays
// measured in samples, new delay times while running, draining and sleep,
// and the feedback delay's one period whatever its listeners' order.
#include <gtest/gtest.h>

#include <limits>

#include "modules/delay/feedback_delay.h"
#include "modules/delay/ug_delay.h"
#include "utility_rig.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kImpulseAt = 100;

struct DelayRig {
  // An impulse at kImpulseAt (and more where given); `wire` connects
  // anything else before the defaults fill the unconnected inputs.
  DelayRig(const char* name, std::map<int, std::string> values, std::vector<int> more = {},
           std::function<void(DelayRig&)> wire = {})
      : engine(64) {
    delay = AddNamedAs<ug_delay>(engine, name, 50);
    std::vector<std::pair<int, float>> steps{{0, 0.0f}};
    more.insert(more.begin(), kImpulseAt);
    for (int t : more) {
      steps.emplace_back(t, 1.0f);
      steps.emplace_back(t + 1, 0.0f);
    }
    StepsInto(engine, delay->GetPlug(ug_delay::PN_IN), steps);
    tap = TapOn(engine, delay->GetPlug(ug_delay::PN_OUT));
    if (wire) wire(*this);
    ApplyInputs(*delay, values);
  }
  const std::vector<float>& Run(int samples) {
    engine.Start();
    engine.Render(samples, 64);
    return tap->samples;
  }
  // Where the impulse came out, and how much of it.
  std::vector<std::pair<int, float>> Echoes() const {
    std::vector<std::pair<int, float>> found;
    for (std::size_t t = 0; t < tap->samples.size(); ++t)
      if (tap->samples[t] != 0.0f) found.emplace_back(static_cast<int>(t) - kImpulseAt, tap->samples[t]);
    return found;
  }
  TestEngine engine;
  ug_delay* delay;
  Tap* tap;
};

using Echoes = std::vector<std::pair<int, float>>;

}  // namespace

TEST(DelayModule, DelaysInSamplesAtEveryModulationAndInterpolation) {
  struct Row {
    const char* name;
    const char* modulation;
    const char* interpolate;
    Echoes echoes;
  } rows[] = {
      {"Delay", "5", "0", {{11024, 1.0f}}},               // the whole line: N - 1
      {"Delay", "-5", "0", {{0, 1.0f}}},                  // none
      {"Delay", "0", "0", {{5513, 1.0f}}},                // x = 5512.5: offset 5512
      {"Delay", "0", "1", {{5512, 0.5f}, {5513, 0.5f}}},  // 5512.5, between two samples
      {"Delay", "9", "1", {{11024, 1.0f}}},               // beyond the range: kept, no fraction
      {"Delay2", "10", "0", {{44099, 1.0f}}},             // Delay2: 1 s, the whole line at 10 V
      {"Delay2", "0", "0", {{0, 1.0f}}},
      {"MIDI Adder(obsolete)", "5", "0", {{11024, 1.0f}}},
  };
  for (const Row& r : rows) {
    DelayRig rig(r.name, {{ug_delay::PN_MODULATION, r.modulation}, {ug_delay::PN_INTERPOLATE, r.interpolate}});
    rig.Run(kImpulseAt + 44200);
    EXPECT_EQ(rig.Echoes(), r.echoes) << r.name << " at " << r.modulation << " V, interpolate " << r.interpolate;
  }
}

TEST(DelayModule, LineLengthsFromTheDelayTime) {
  for (auto [text, length] : {std::pair{"0.25", 11025}, {"0.01", 441}, {"20", 441000}, {"nan", 441000}, {"inf", 441000},
                              {"-1", 1}, {"1e300", 441000}}) {
    DelayRig rig("Delay", {{ug_delay::PN_TIME, text}});
    rig.Run(64);
    EXPECT_EQ(rig.delay->Line().length, length) << text;
    EXPECT_EQ(rig.delay->Line().ring.size(), 441000u) << "ten seconds reserved when sound starts";
  }
}

TEST(DelayModule, ANewDelayTimeWhileRunningTakesEffectAtItsSample) {
  DelayRig rig("Delay", {}, {2000}, [](DelayRig& r) {
    auto* time = r.engine.root.Add<FloatStepSource>(300);
    Connect(time->GetPlug(0), r.delay->GetPlug(ug_delay::PN_TIME));
    time->Schedule(0, 0.01f);      // N = 441: 440 samples at +5 V
    time->Schedule(1000, 0.002f);  // N = 88: 87 samples
  });
  rig.Run(3000);
  EXPECT_EQ(rig.Echoes(), (Echoes{{440, 1.0f}, {2000 - kImpulseAt + 87, 1.0f}}));
  EXPECT_EQ(rig.delay->Line().length, 88);
}

TEST(DelayModule, DrainsToSilenceThenSleepsButFullFeedbackKeepsRunning) {
  DelayRig quiet("Delay", {{ug_delay::PN_TIME, "0.001"}});  // N = 44
  quiet.Run(2000);
  EXPECT_EQ(quiet.Echoes(), (Echoes{{43, 1.0f}}));
  EXPECT_TRUE(quiet.delay->sleeping) << "silent for a whole line and a whole period";
  EXPECT_EQ(quiet.delay->GetPlug(ug_delay::PN_OUT)->state, ST_STOP);

  DelayRig echoing("Delay", {{ug_delay::PN_TIME, "0.001"}, {ug_delay::PN_FEEDBACK, "10"}});
  echoing.Run(20000);
  EXPECT_FALSE(echoing.delay->sleeping);
  EXPECT_EQ(echoing.tap->samples[kImpulseAt + 43 + 44 * 400], 1.0f) << "the echo circulates";

  DelayRig wild("Delay", {{ug_delay::PN_TIME, "0.001"}, {ug_delay::PN_FEEDBACK, "50"}});
  wild.Run(20000);
  for (float v : wild.tap->samples) ASSERT_TRUE(std::isfinite(v)) << "feedback beyond 10 V is kept at 10 V";
}

namespace {

// A ramp through a feedback delay; the reader runs first, then one
// listener before the writer and one after it.
struct FeedbackRig {
  explicit FeedbackRig(int hostBlock) : engine(hostBlock) {
    writer = AddNamedAs<ug_feedback_delay>(engine, "Feedback Delay", 50, 0, 100);
    StreamInto(engine, writer->GetPlug(ug_feedback_delay::PN_IN), [](int t) { return 0.001f * static_cast<float>(t + 1); });
    UPlug* out = writer->Reader()->GetPlug(ug_feedback_delay_out::PN_OUT);
    early = TapOn(engine, out, 60);
    late = TapOn(engine, out, 5);
    delayTime = TapOn(engine, writer->Reader()->GetPlug(ug_feedback_delay_out::PN_DELAY_TIME), 10);
    engine.Start();
    engine.Render(1000, hostBlock);
  }
  TestEngine engine;
  ug_feedback_delay* writer;
  Tap* early;
  Tap* late;
  Tap* delayTime;
};

}  // namespace

TEST(FeedbackDelay, DelaysByExactlyOnePeriodForEveryListener) {
  for (int hostBlock : {1, 64, 4096}) {
    FeedbackRig rig(hostBlock);
    const int L = rig.engine.L();
    for (Tap* tap : {rig.early, rig.late}) {
      ASSERT_EQ(tap->samples.size(), 1000u);
      for (int t = 0; t < 1000; ++t) {
        const float expected = t < L ? 0.0f : 0.001f * static_cast<float>(t - L + 1);
        ASSERT_EQ(tap->samples[static_cast<std::size_t>(t)], expected)
            << "sample " << t << ", L " << L << (tap == rig.late ? ", listener after the writer" : "");
      }
    }
    EXPECT_FLOAT_EQ(rig.delayTime->samples.back(), static_cast<float>(L / 44100.0 * 100.0));
  }
  FeedbackRig rig(64);
  EXPECT_NEAR(rig.delayTime->samples[500] * 10.0f, 1.45f, 0.005f) << "1.45 V for 64 samples at 44100 Hz";
  EXPECT_EQ(rig.writer->Reader()->GetPlug(ug_feedback_delay_out::PN_DELAY_TIME)->state, ST_STOP)
      << "Delay Time Out was a step";
}
