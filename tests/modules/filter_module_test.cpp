// The filter modules in hand-made graphs: settling on a constant input
// (exact values, outputs stopped, asleep), ringing down into silence, the
// ladder against its own equation, unsafe cutoffs held stable, and the
// tables' edge values.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <numbers>

#include "dsp/denormal_bits.h"
#include "dsp/ladder_filter.h"
#include "dsp/one_pole.h"
#include "dsp/peaking_eq.h"
#include "dsp/sv_filter.h"
#include "modules/filter/denormal.h"
#include "modules/filter/filter_1pole.h"
#include "modules/filter/filter_allpass.h"
#include "modules/filter/filter_eq.h"
#include "modules/filter/filter_ladder.h"
#include "modules/filter/filter_sv.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr double kFilterTestRate = 44100.0;

// Streams a loud 200 Hz square from open on; at `stopAt` steps to a
// constant `after` and stops streaming.
class Burst : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Burst>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&Burst::Loud);
    ug_base::Open();
    GetPlug(0)->SetState(clock, ST_RUN);
    QueueCall(stopAt, &Burst::Stop);
  }
  void Loud(int offset, int count) {
    for (int i = 0; i < count; ++i) out[offset + i] = value(clock + i);
  }
  static void Stop(ug_base& m) {
    auto& b = static_cast<Burst&>(m);
    b.SetProcessFunction(&Burst::Fill);
    b.GetPlug(0)->SetState(b.clock, ST_STATIC);
    b.StartHold();
  }
  void Fill(int offset, int count) { std::fill_n(out + offset, count, after); }
  float* out = nullptr;
  int stopAt = 11025;
  float after = 0.0f;
  std::function<float(int)> value = [](int t) { return (t / 110) % 2 == 0 ? 0.9f : -0.9f; };
};

// One filter in a rig: its inputs from `values` (plug index to volts text),
// its signal from a Burst, each output into a tap.
template <class Filter>
struct FilterRig {
  FilterRig(std::map<int, std::string> values, std::vector<int> outputs, int stopAt = 11025, float after = 0.0f,
            int hostBlock = 64)
      : engine(hostBlock) {
    filter = engine.root.template Add<Filter>(10);
    burst = engine.root.template Add<Burst>(20);
    burst->stopAt = stopAt;
    burst->after = after;
    Connect(burst->GetPlug(0), filter->GetPlug(0));
    for (int out : outputs) {
      taps.push_back(engine.root.template Add<Tap>(1));
      taps.back()->recordRuns = false;
      Connect(filter->GetPlug(out), taps.back()->GetPlug(0));
    }
    ApplyInputs(*filter, values);
    engine.Start();
  }
  float Last(int tap) const { return taps[static_cast<std::size_t>(tap)]->samples.back(); }
  TestEngine engine;
  Filter* filter;
  Burst* burst;
  std::vector<Tap*> taps;
};

// Runs until the filter sleeps (or two seconds pass); returns the samples run.
template <class Rig>
int RunUntilAsleep(Rig& rig, int limit = 2 * 44100) {
  int run = 0;
  while (!rig.filter->sleeping && run < limit) {
    rig.engine.Render(64, 64);
    run += 64;
  }
  return run;
}

TEST(FilterSettling, ConstantInputEndsExactlyOnTheSteadyValuesAndSleeps) {
  {
    FilterRig<ug_filter_sv> rig({{ug_filter_sv::PN_RESONANCE, "8"}},
                                {ug_filter_sv::PN_LOW_PASS, ug_filter_sv::PN_HI_PASS, ug_filter_sv::PN_BAND_PASS,
                                 ug_filter_sv::PN_BAND_REJECT},
                                2000, 0.2f);
    EXPECT_LT(RunUntilAsleep(rig), 2 * 44100) << "SV";
    rig.engine.Render(256, 64);
    EXPECT_EQ(rig.Last(0), 0.2f);
    EXPECT_EQ(rig.Last(1), 0.0f);
    EXPECT_EQ(rig.Last(2), 0.0f);
    EXPECT_EQ(rig.Last(3), 0.2f);
    for (int p = ug_filter_sv::PN_LOW_PASS; p <= ug_filter_sv::PN_BAND_REJECT; ++p)
      EXPECT_EQ(rig.filter->GetPlug(p)->state, ST_STOP);
  }
  {
    FilterRig<ug_filter_1pole> rig({{ug_filter_1pole::PN_PITCH, "3"}}, {ug_filter_1pole::PN_OUTPUT}, 2000, 0.2f);
    EXPECT_LT(RunUntilAsleep(rig), 2 * 44100) << "1 Pole LP";
    EXPECT_EQ(rig.Last(0), 0.2f);
  }
  {
    FilterRig<ug_filter_1pole_hp> rig({}, {ug_filter_1pole::PN_OUTPUT}, 2000, 0.2f);
    EXPECT_LT(RunUntilAsleep(rig), 2 * 44100) << "1 Pole HP";
    EXPECT_EQ(rig.Last(0), 0.0f);
  }
  {
    FilterRig<ug_filter_allpass> rig({{ug_filter_allpass::PN_RESONANCE, "10"}}, {ug_filter_allpass::PN_OUTPUT}, 2000,
                                     0.2f);
    EXPECT_LT(RunUntilAsleep(rig), 2 * 44100) << "All Pass";
    EXPECT_EQ(rig.Last(0), 0.2f);
  }
  {
    FilterRig<ug_filter_eq_parametric> rig({{ug_filter_biquad::PN_BOOST_CUT, "5"}, {ug_filter_biquad::PN_RESONANCE, "1"}},
                                           {ug_filter_biquad::PN_OUTPUT}, 2000, 0.2f);
    EXPECT_LT(RunUntilAsleep(rig), 2 * 44100) << "Parametric EQ";
    EXPECT_EQ(rig.Last(0), 0.2f);
  }
}

// y4 at rest for a constant input x: every stage passes DC at unity, so
// y4 = clip((k + 1) u - k y4) with u = x - R y4; solved by bisection.
double LadderDc(const kr::dsp::LadderCoefficients& c, double x) {
  auto clip = [](double v) { return v - v * v * v / 6.0; };
  auto g = [&](double y) { return clip((c.k + 1.0) * (x - c.feedback * y) - c.k * y) - y; };
  double lo = -1.0, hi = 1.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    (g(lo) < 0.0) == (g(mid) < 0.0) ? lo = mid : hi = mid;
  }
  return 0.5 * (lo + hi);
}

TEST(FilterSettling, LadderSettlesOnItsOwnEquationNotOnTheInput) {
  FilterRig<ug_filter_biquad> rig({{ug_filter_biquad::PN_RESONANCE, "7"}}, {ug_filter_biquad::PN_OUTPUT}, 2000, 0.2f);
  EXPECT_LT(RunUntilAsleep(rig), 2 * 44100);
  const kr::dsp::LadderTuning tuning(kFilterTestRate);
  const double expected = LadderDc(tuning.Coefficients(0.5f, 0.7f, false), 0.2);
  EXPECT_NEAR(rig.Last(0), expected, 2e-6);
  EXPECT_LT(expected, 0.2 / 1.5) << "feedback pulls the level well below the input";
  EXPECT_EQ(rig.filter->GetPlug(ug_filter_biquad::PN_OUTPUT)->state, ST_STOP);
}

TEST(FilterSettling, RingingIntoSilenceReachesExactZeroAndSleeps) {
  FilterRig<ug_filter_sv> sv({{ug_filter_sv::PN_RESONANCE, "9.5"}}, {ug_filter_sv::PN_LOW_PASS});
  FilterRig<ug_filter_biquad> ladder({{ug_filter_biquad::PN_RESONANCE, "9"}}, {ug_filter_biquad::PN_OUTPUT});
  FilterRig<ug_filter_allpass> allpass({}, {ug_filter_allpass::PN_OUTPUT});
  FilterRig<ug_filter_1pole> onePole({{ug_filter_1pole::PN_PITCH, "0"}}, {ug_filter_1pole::PN_OUTPUT});
  EXPECT_LT(RunUntilAsleep(sv, 4 * 44100), 4 * 44100);
  EXPECT_LT(RunUntilAsleep(ladder, 4 * 44100), 4 * 44100);
  EXPECT_LT(RunUntilAsleep(allpass, 4 * 44100), 4 * 44100);
  EXPECT_LT(RunUntilAsleep(onePole, 4 * 44100), 4 * 44100);
  EXPECT_GT(sv.taps[0]->samples.size(), 11025u);
  for (auto* rig : {&sv.taps, &ladder.taps, &allpass.taps, &onePole.taps}) {
    const std::vector<float>& s = (*rig)[0]->samples;
    EXPECT_EQ(s.back(), 0.0f);
    for (float v : s) ASSERT_FALSE(std::fpclassify(v) == FP_SUBNORMAL) << "a subnormal reached an output";
  }
  EXPECT_EQ(sv.filter->State().lp, 0.0f);
  EXPECT_EQ(sv.filter->State().bp, 0.0f);
}

TEST(FilterSettling, NonFiniteStatesAreResetAtTheNextCheck) {
  FilterRig<ug_filter_sv> sv({}, {ug_filter_sv::PN_LOW_PASS});
  FilterRig<ug_filter_biquad> ladder({}, {ug_filter_biquad::PN_OUTPUT});
  const auto poison = [](int t) { return t == 300 ? std::numeric_limits<float>::infinity() : 0.1f; };
  sv.burst->value = poison;
  ladder.burst->value = poison;
  RunUntilAsleep(sv, 3 * 44100);
  RunUntilAsleep(ladder, 3 * 44100);
  EXPECT_TRUE(sv.filter->sleeping);
  EXPECT_TRUE(ladder.filter->sleeping);
  EXPECT_EQ(sv.Last(0), 0.0f);
  EXPECT_EQ(ladder.Last(0), 0.0f);
}

// Any filter, fed loud noise, in 1 V/kHz mode with a negative pitch or with
// a streaming pitch far below 0 V: the output stays bounded.
template <class Filter>
void ExpectBounded(int pitchPlug, int freqScalePlug, int outPlug, const char* name) {
  for (int variant = 0; variant < 3; ++variant) {
    TestEngine engine(64);
    auto* filter = engine.root.Add<Filter>(10);
    auto* noise = engine.root.Add<FunctionSource>(20);
    noise->f = [](int t) { return static_cast<float>(((t * 7919) % 2001) - 1000) * 0.0009f; };
    Connect(noise->GetPlug(0), filter->GetPlug(0));
    auto* tap = engine.root.Add<Tap>(1);
    tap->recordRuns = false;
    Connect(filter->GetPlug(outPlug), tap->GetPlug(0));
    std::map<int, std::string> values;
    if (variant == 0) values = {{pitchPlug, "-5"}, {freqScalePlug, "1"}};
    if (variant == 1) values = {{pitchPlug, "0"}, {freqScalePlug, "1"}};
    if (variant == 2) {
      auto* pitch = engine.root.Add<FunctionSource>(30);
      pitch->f = [](int t) { return -20.0f - static_cast<float>(t % 100); };
      Connect(pitch->GetPlug(0), filter->GetPlug(pitchPlug));
    }
    ApplyInputs(*filter, values);
    engine.Start();
    engine.Render(44100, 64);
    float peak = 0.0f;
    for (float v : tap->samples) peak = std::max(peak, std::isfinite(v) ? std::fabs(v) : 1e30f);
    EXPECT_LT(peak, 50.0f) << name << " variant " << variant;
  }
}

TEST(FilterSafety, ZeroAndNegativeCutoffsStayStable) {
  ExpectBounded<ug_filter_sv>(ug_filter_sv::PN_PITCH, ug_filter_sv::PN_FREQ_SCALE, ug_filter_sv::PN_BAND_PASS, "SV");
  ExpectBounded<ug_filter_biquad>(ug_filter_biquad::PN_PITCH, ug_filter_biquad::PN_FREQ_SCALE,
                                  ug_filter_biquad::PN_OUTPUT, "ladder");
  ExpectBounded<ug_filter_1pole>(ug_filter_1pole::PN_PITCH, ug_filter_1pole::PN_FREQ_SCALE, ug_filter_1pole::PN_OUTPUT,
                                 "one-pole");
  ExpectBounded<ug_filter_allpass>(ug_filter_allpass::PN_PITCH, ug_filter_allpass::PN_FREQ_SCALE,
                                   ug_filter_allpass::PN_OUTPUT, "all-pass");
  ExpectBounded<ug_filter_eq_parametric>(ug_filter_biquad::PN_PITCH, ug_filter_biquad::PN_FREQ_SCALE,
                                         ug_filter_biquad::PN_OUTPUT, "EQ");
}

// The poles of a biquad (1 + a1 z^-1 + a2 z^-2) lie inside the unit circle.
bool Stable(double a1, double a2) { return std::fabs(a2) < 1.0 && std::fabs(a1) < 1.0 + a2; }

TEST(FilterSafety, EqualiserPolesStayInsideForEveryCorner) {
  for (float pitch : {-10.0f, -1.0f, 0.0f, 0.5f, 1.0f, 3.0f, 10.0f}) {
    for (float resonance : {-1.0f, 0.0f, 0.0001f, 0.5f, 1.0f, 50.0f}) {
      for (float boost : {-10.0f, -1.0f, 0.0f, 1.0f, 10.0f}) {
        for (bool khz : {false, true}) {
          const auto c = kr::dsp::PeakingCoefficients(pitch, resonance, boost, khz, kFilterTestRate);
          for (double v : {c.b0, c.b1, c.b2, c.a1, c.a2}) ASSERT_TRUE(std::isfinite(v));
          EXPECT_TRUE(Stable(c.a1, c.a2)) << pitch << " " << resonance << " " << boost << " " << khz;
        }
      }
    }
  }
  const auto flat = kr::dsp::PeakingCoefficients(0.5f, 0.5f, 0.0f, false, kFilterTestRate);
  EXPECT_NEAR(flat.b0, 1.0, 1e-12) << "0 V boost is unity at every frequency";
  EXPECT_NEAR(flat.b1, flat.a1, 1e-12);
  EXPECT_NEAR(flat.b2, flat.a2, 1e-12);
}

TEST(FilterTables, EdgeValues) {
  const kr::dsp::SvTuning sv(kFilterTestRate);
  const auto c = sv.Coefficients(1.0f, 1.0f, false);
  EXPECT_NEAR(c.q, 0.0016f, 1e-6f);
  EXPECT_NEAR(c.limit, 1.8927f, 1e-4f) << "resonance limit entry 511";
  EXPECT_FLOAT_EQ(c.f, c.limit);
  EXPECT_FLOAT_EQ(kr::dsp::SvTuning(22050.0).Frequency(1.0f, false), static_cast<float>(std::numbers::pi))
      << "14080 Hz lies above fs/2 at 22050 Hz";
  EXPECT_NEAR(sv.Frequency(-0.1f, false), 2.0 * std::numbers::pi * 6.875 / kFilterTestRate, 1e-9) << "-1 V: 6.875 Hz";
  EXPECT_NEAR(sv.Frequency(0.5f, false), 2.0 * std::numbers::pi * 440.0 / kFilterTestRate, 1e-6);
  EXPECT_NEAR(sv.Frequency(0.1f, true), 2.0 * std::numbers::pi * 1000.0 / kFilterTestRate, 1e-6) << "1 V/kHz";
  EXPECT_NEAR(sv.Frequency(-0.3f, true), kr::dsp::SvTuning::kMinFrequency, 1e-6) << "held above 0 Hz";

  // The ladder at 10 V: table and direct path share the 0.495 fs cap, so at
  // low rates it is damped (k below 1), not ringing on.
  for (double rate : {11025.0, 22050.0}) {
    const kr::dsp::LadderTuning ladder(rate);
    const auto table = ladder.Coefficients(1.0f, 0.0f, false);
    EXPECT_NEAR(table.k, kr::dsp::LadderTuning::K(2 * 0.495), 1e-6);
    EXPECT_NEAR(table.k, ladder.Coefficients(10000.0f / 10000.0f * 2.0f, 0.0f, true).k, 1e-6);
    EXPECT_LT(table.k, 0.999f);
    kr::dsp::LadderState s;
    float out = kr::dsp::LadderStep(s, table, 1.0f);
    for (int i = 0; i < 20000; ++i) out = kr::dsp::LadderStep(s, table, 0.0f);
    EXPECT_LT(std::fabs(out), 1e-6f) << rate;
  }
  const kr::dsp::OnePoleTuning onePole(kFilterTestRate);
  EXPECT_NEAR(onePole.Coefficient(0.5f, false), std::exp(-2.0 * std::numbers::pi * 440.0 / kFilterTestRate), 1e-6);
  EXPECT_LT(onePole.Coefficient(-1.0f, true), 1.0f) << "a negative cutoff is held above 0 Hz";
}

TEST(DenormalModules, Masks) {
  auto f = [](std::uint32_t b) { return std::bit_cast<float>(b); };
  EXPECT_EQ(kr::dsp::CleanDenormal(1.0f), 1.0f);
  EXPECT_EQ(kr::dsp::CleanDenormal(f(0x00000001u)), 0.0f);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(kr::dsp::CleanDenormal(f(0x00400000u))), 0x00400000u);
  EXPECT_EQ(kr::dsp::DenormalFlag(f(0x00400000u)), 0.0f);
  EXPECT_EQ(kr::dsp::DenormalFlag(f(0x000FFFFFu)), 5.0f);
  EXPECT_EQ(kr::dsp::CleanDenormal(f(0x000FFFFFu)), 0.0f);
  EXPECT_EQ(kr::dsp::DenormalFlag(1.0f), 0.0f);
  EXPECT_EQ(kr::dsp::DenormalFlag(0.0f), 0.0f);

  TestEngine engine(64);
  auto* detect = engine.root.Add<ug_denormal_detect>(10);
  auto* clean = engine.root.Add<ug_denormal_stop>(10);
  auto* source = engine.root.Add<FunctionSource>(20);
  source->f = [f](int t) { return t % 2 == 0 ? f(0x00000003u) : 0.25f; };
  Connect(source->GetPlug(0), detect->GetPlug(0));
  Connect(source->GetPlug(0), clean->GetPlug(0));
  auto* detected = engine.root.Add<Tap>(1);
  auto* cleaned = engine.root.Add<Tap>(1);
  Connect(detect->GetPlug(1), detected->GetPlug(0));
  Connect(clean->GetPlug(1), cleaned->GetPlug(0));
  engine.Start();
  engine.Render(128, 64);
  for (int t = 0; t < 128; ++t) {
    EXPECT_EQ(detected->samples[static_cast<std::size_t>(t)], t % 2 == 0 ? 5.0f : 0.0f);
    EXPECT_EQ(cleaned->samples[static_cast<std::size_t>(t)], t % 2 == 0 ? 0.0f : 0.25f);
  }
}

}  // namespace

namespace {

// The SV filter's low-pass alone (computed eight samples at a time) for a
// ringing input, rendered with a given host block size; a pitch step at a
// time that is no multiple of 8 restarts its groups.
std::vector<float> LowPassOnly(int hostBlock, bool alsoHighPass) {
  TestEngine engine(hostBlock);
  auto* filter = engine.root.Add<ug_filter_sv>(10);
  auto* source = engine.root.Add<FunctionSource>(20);
  source->f = [](int t) { return std::sin(t * 0.07f) * 0.4f + ((t / 300) % 2 == 0 ? 0.3f : -0.3f); };
  Connect(source->GetPlug(0), filter->GetPlug(ug_filter_sv::PN_SIGNAL));
  auto* pitch = engine.root.Add<StepSource>(30);
  Connect(pitch->GetPlug(0), filter->GetPlug(ug_filter_sv::PN_PITCH));
  auto* tap = engine.root.Add<Tap>(1);
  tap->recordRuns = false;
  Connect(filter->GetPlug(ug_filter_sv::PN_LOW_PASS), tap->GetPlug(0));
  if (alsoHighPass) Connect(filter->GetPlug(ug_filter_sv::PN_HI_PASS), engine.root.Add<Tap>(1)->GetPlug(0));
  ApplyInputs(*filter, {{ug_filter_sv::PN_RESONANCE, "9"}});
  engine.Start();
  pitch->ScheduleStep(0, 0.6f);
  pitch->ScheduleStep(1001, 0.45f);
  engine.Render(3000, hostBlock);
  return tap->samples;
}

TEST(SvFilter, EightAtATimeLowPassIsTheSameForEveryBlockSizeAndMatchesTheFullFilter) {
  const std::vector<float> reference = LowPassOnly(64, false);
  ASSERT_EQ(reference.size(), 3000u);
  for (int block : {1, 3, 7, 16, 63, 100, 441, 512}) {
    const std::vector<float> other = LowPassOnly(block, false);
    ASSERT_EQ(other.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(other[i], reference[i]) << "block " << block << " at " << i;
  }
  const std::vector<float> full = LowPassOnly(64, true);
  for (std::size_t i = 0; i < reference.size(); ++i) ASSERT_NEAR(full[i], reference[i], 2e-5f) << i;
}

}  // namespace
