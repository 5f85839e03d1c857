// VCA: the four response curves, tables against formulas, when it sleeps.
#include <gtest/gtest.h>

#include <cmath>

#include "modules/env/vca.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct VcaRig {
  VcaRig(std::map<int, std::string> inputs, std::function<float(int)> signal = {},
         std::function<float(int)> volume = {})
      : engine(64) {
    vca = engine.root.Add<ug_vca>(10);
    tap = engine.root.Add<Tap>(1);
    if (signal) Stream(ug_vca::PN_SIGNAL, std::move(signal));
    if (volume) Stream(ug_vca::PN_VOLUME, std::move(volume));
    Connect(vca->GetPlug(ug_vca::PN_OUT), tap->GetPlug(0));
    ApplyInputs(*vca, inputs);
    engine.Start();
  }
  void Stream(int plug, std::function<float(int)> f) {
    auto* source = engine.root.Add<FunctionSource>(20);
    source->f = std::move(f);
    Connect(source->GetPlug(0), vca->GetPlug(plug));
  }
  const std::vector<float>& Render(int n) {
    engine.Render(n, 64);
    return tap->samples;
  }
  TestEngine engine;
  ug_vca* vca;
  Tap* tap;
};

}  // namespace

TEST(VcaCurves, FormulaValues) {
  EXPECT_FLOAT_EQ(kr::dsp::vca::Gain(VC_EXPONENTIAL, 1.0f), 1.0f);
  EXPECT_FLOAT_EQ(kr::dsp::vca::Gain(VC_EXPONENTIAL, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(kr::dsp::vca::Gain(VC_EXPONENTIAL, -0.3f), 0.0f);
  EXPECT_NEAR(kr::dsp::vca::Gain(VC_EXPONENTIAL, 0.5f), 1.0 - (1.0 - std::exp(-1.5)) / (1.0 - std::exp(-3.0)), 1e-6);
  EXPECT_FLOAT_EQ(kr::dsp::vca::Gain(VC_LINEAR, 0.3f), 0.3f);
  EXPECT_FLOAT_EQ(kr::dsp::vca::Gain(VC_LINEAR, -0.3f), 0.0f);
  EXPECT_NEAR(kr::dsp::vca::Gain(VC_DECIBEL_OLD, 0.2f), 1e-4, 1e-9);
  EXPECT_NEAR(kr::dsp::vca::Gain(VC_DECIBEL_OLD, 0.0f), 1e-7, 1e-12) << "below -40 dB the slope triples";
  EXPECT_NEAR(kr::dsp::vca::Gain(VC_DECIBEL, 1.2f), std::pow(10.0, 0.2 * 3.8888888 / 2.0), 1e-5);
  EXPECT_NEAR(kr::dsp::vca::Gain(VC_DECIBEL, 0.0f), std::pow(10.0, ((-3.8888888 + 3.5) * 2.0 - 3.5) / 2.0), 1e-9);
  EXPECT_FLOAT_EQ(kr::dsp::vca::Gain(VC_DECIBEL, 1.0f), 1.0f);
}

TEST(VcaCurves, TablesMatchTheFormulasAndAreShared) {
  for (int curve : {VC_EXPONENTIAL, VC_DECIBEL, VC_DECIBEL_OLD}) {
    const auto table = kr::dsp::vca::CurveTable(curve);
    ASSERT_TRUE(table);
    EXPECT_EQ(table.get(), kr::dsp::vca::CurveTable(curve).get()) << "one table for every VCA";
    EXPECT_EQ(table->Size(), 514);
    EXPECT_NEAR((*table)[512], 1.0f, 1e-6f);
    if (curve != VC_EXPONENTIAL) {
      EXPECT_EQ((*table)[0], 0.0f);
    }
    for (int i = 1; i <= 512; i += 37)
      EXPECT_NEAR((*table)[i], kr::dsp::vca::Gain(curve, i / 512.0f), 1e-6f + 1e-5f * kr::dsp::vca::Gain(curve, i / 512.0f)) << curve << " " << i;
  }
  EXPECT_FALSE(kr::dsp::vca::CurveTable(VC_LINEAR));
}

TEST(Vca, SignalTimesGainNormalised) {
  VcaRig rig({{ug_vca::PN_SIGNAL, "5"}, {ug_vca::PN_VOLUME, "2"}, {ug_vca::PN_CURVE, "2"}});
  const auto& out = rig.Render(256);
  EXPECT_FLOAT_EQ(out[0], 0.1f) << "5 V times 2 V is 1 V";
  EXPECT_FLOAT_EQ(out[255], 0.1f);
  EXPECT_TRUE(rig.vca->sleeping) << "a constant product settles and sleeps";
}

TEST(Vca, NegativeVolumeSleepsExceptLinearWhichRunsOnAtZero) {
  auto signal = [](int t) { return std::sin(t * 0.05f) * 0.5f; };
  VcaRig exponential({{ug_vca::PN_VOLUME, "-3"}, {ug_vca::PN_CURVE, "1"}}, signal);
  const auto& a = exponential.Render(512);
  EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](float v) { return v == 0.0f; }));
  EXPECT_TRUE(exponential.vca->sleeping);
  EXPECT_EQ(exponential.vca->GetPlug(ug_vca::PN_OUT)->state, ST_STOP);

  VcaRig linear({{ug_vca::PN_VOLUME, "-3"}, {ug_vca::PN_CURVE, "2"}}, signal);
  const auto& b = linear.Render(512);
  EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](float v) { return v == 0.0f; }));
  EXPECT_FALSE(linear.vca->sleeping) << "only exactly 0 V lets a linear VCA sleep";
  EXPECT_TRUE(linear.engine.IsActive(linear.vca));
}

TEST(Vca, StreamingVolumeReadsTheTableBelowFullScaleAndTheFormulaAbove) {
  auto volume = [](int t) { return static_cast<float>(t % 700) / 500.0f - 0.1f; };  // -0.1 ... 1.298
  for (int curve : {VC_EXPONENTIAL, VC_DECIBEL, VC_DECIBEL_OLD, VC_LINEAR}) {
    VcaRig rig({{ug_vca::PN_SIGNAL, "10"}, {ug_vca::PN_CURVE, std::to_string(curve)}}, {}, volume);
    const auto& out = rig.Render(700);
    for (int t = 0; t < 700; ++t) {
      const float v = volume(t);
      const float expected = kr::dsp::vca::Gain(curve, v);
      if (v < 1.0f / 512.0f && curve != VC_LINEAR)
        // Table entry 0 is silence: the first step interpolates up from 0.
        ASSERT_LE(out[static_cast<std::size_t>(t)], kr::dsp::vca::Gain(curve, 1.0f / 512.0f)) << curve << " at " << v;
      else if (v > 1.0f || curve == VC_LINEAR)
        ASSERT_EQ(out[static_cast<std::size_t>(t)], expected) << curve << " at " << v;
      else
        ASSERT_NEAR(out[static_cast<std::size_t>(t)], expected, 2e-4f + 0.01f * expected) << curve << " at " << v;
    }
    EXPECT_FALSE(rig.vca->sleeping);
  }
}
