// The wave shapers: point and formula tables, the lookup, and the modules
// (a ramp through the curve, text changes, voice copies sharing a table).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/evaluator.h"
#include "dsp/shaper_curve.h"
#include "modules/shaper/wave_shaper.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;
using kr::dsp::ShaperTable;

namespace {

// An input in volts through the table, in volts.
float ShapeVolts(const ShaperTable& t, float volts) { return kr::dsp::ShapeLookup(t, volts * 0.1f) * 10.0f; }

constexpr const char* kZigZag = "(-5.0,-5.0)(-4.0,3.0)(-3.0,-2.0)(-2.0,4.5)(-1.0,0.0)(0.0,1.0)(1.0,-1.0)(2.0,2.0)(3.0,-3.0)(4.0,0.5)(5.0,5.0)";

TEST(ShaperCurve, DefaultLineFollowsTheInputWithinTheStatedDeviation) {
  ShaperTable t;
  t.fill(std::numeric_limits<float>::quiet_NaN());
  kr::dsp::BuildPointCurve(kr::dsp::ParseShapePoints(""), t);
  for (float v = -5.0f; v <= 5.0f; v += 0.01f) EXPECT_NEAR(ShapeVolts(t, v), v, 0.016f) << v;
  EXPECT_EQ(ShapeVolts(t, 7.0f), t[512] * 10.0f) << "from +5 V on: entry 512";
  EXPECT_EQ(ShapeVolts(t, -9.0f), t[0] * 10.0f);
  EXPECT_EQ(t[513], t[512]) << "entry 513 is written, so its weight-0 read is finite";
  EXPECT_EQ(kr::dsp::ShapeLookup(t, 0.5f), t[512]) << "exactly +5 V reads entry 512";
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()})
    EXPECT_EQ(kr::dsp::ShapeLookup(t, bad), t[256]) << "non-finite input reads as 0 V";
}

TEST(ShaperCurve, ElevenPointsAndLinearInterpolationBetweenEntries) {
  ShaperTable t{};
  const kr::dsp::ShapePoints points = kr::dsp::ParseShapePoints(kZigZag);
  kr::dsp::BuildPointCurve(points, t);
  for (int k = 0; k < 10; ++k) {  // the last point's entry (512) is extrapolated
    const float in = points.x[static_cast<std::size_t>(k)] * 0.1f - 5.0f;
    const float out = 5.0f - points.y[static_cast<std::size_t>(k)] * 0.1f;
    EXPECT_NEAR(ShapeVolts(t, in), out, 0.1f) << "point " << k;
  }
  // Between entries: exactly the straight line between neighbours.
  for (int j = 0; j < 512; j += 7) {
    for (float r : {0.25f, 0.5f, 0.75f}) {
      const float input = (static_cast<float>(j) + r) / 512.0f - 0.5f;
      const float f = (input + 0.5f) * 512.0f;
      const int g = static_cast<int>(f);
      const float expected = t[g] + (f - static_cast<float>(g)) * (t[g + 1] - t[g]);
      EXPECT_EQ(kr::dsp::ShapeLookup(t, input), expected) << j << " + " << r;
    }
  }
}

TEST(ShaperCurve, PointTextParsing) {
  const kr::dsp::ShapePoints twelve = kr::dsp::ParseShapePoints(std::string(kZigZag) + "(9,9)");
  EXPECT_EQ(twelve.x[10], 100.0f) << "only the first 11 pairs count";
  const kr::dsp::ShapePoints few = kr::dsp::ParseShapePoints("(-5,5)( 0 , -2.5 )(junk,nan)");
  EXPECT_EQ(few.x[0], 0.0f);
  EXPECT_EQ(few.y[0], 0.0f);
  EXPECT_EQ(few.x[1], 50.0f);
  EXPECT_EQ(few.y[1], 75.0f);
  EXPECT_EQ(few.x[2], 50.0f) << "numbers that are not numbers read as 0 V";
  EXPECT_EQ(few.y[2], 50.0f);
  EXPECT_EQ(few.x[3], 30.0f) << "points not given are those of the straight line";
  EXPECT_EQ(few.y[3], 70.0f);
  EXPECT_EQ(few.x[10], 100.0f);
  EXPECT_EQ(few.y[10], 0.0f);
  // Hostile texts give finite tables.
  for (const char* text : {"(1e300,-1e300)(5,5)", "(inf,inf)", ")(", "(((", "(5,5)(-5,-5)(0,1e9)"}) {
    ShaperTable t{};
    kr::dsp::BuildPointCurve(kr::dsp::ParseShapePoints(text), t);
    for (float v : t) ASSERT_TRUE(std::isfinite(v)) << text;
  }
}

TEST(ShaperCurve, FormulaTable) {
  kr::dsp::Evaluator evaluator;
  ShaperTable t{};
  kr::dsp::BuildFormulaCurve(kr::dsp::kDefaultFormula, evaluator, t);
  EXPECT_EQ(ShapeVolts(t, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(t[0], static_cast<float>(5.0 * std::sin(-5.0 / 3.141592653589793) * 0.1));
  EXPECT_EQ(t[513], t[512]);
  kr::dsp::BuildFormulaCurve("log(x)", evaluator, t);
  EXPECT_EQ(t[0], 0.0f) << "NaN results become 0";
  EXPECT_EQ(t[256], 0.0f) << "-infinity becomes 0";
  EXPECT_FLOAT_EQ(t[512], static_cast<float>(std::log(5.0) * 0.1));
  kr::dsp::BuildFormulaCurve("10^400 * x", evaluator, t);
  for (float v : t) EXPECT_EQ(v, 0.0f);
  kr::dsp::BuildFormulaCurve("x * 2 + ", evaluator, t);
  EXPECT_FLOAT_EQ(t[512], 1.0f) << "a malformed formula gives the value computed before the fault";
}

// "WaveShaper" with a ramp from -6 V to +6 V on its input.
struct ShaperRig {
  template <class T>
  T* Make(const std::string& shape) {
    auto* module = engine.root.Add<T>(10);
    tap = engine.root.Add<Tap>(1);
    auto* ramp = engine.root.Add<FunctionSource>(20);
    ramp->f = [](int t) { return -0.6f + 1.2f * static_cast<float>(t) / 4096.0f; };
    Connect(ramp->GetPlug(0), module->GetPlug(ug_wave_shaper::PN_SIGNAL_IN));
    Connect(module->GetPlug(ug_wave_shaper::PN_SIGNAL_OUT), tap->GetPlug(0));
    ApplyInputs(*module, {{ug_wave_shaper::PN_SHAPE, shape}});
    engine.Start();
    engine.Render(4096, 64);
    return module;
  }
  TestEngine engine{64};
  Tap* tap = nullptr;
};

TEST(WaveShaper, ModuleMapsARampThroughItsTable) {
  ShaperRig rig;
  auto* shaper = rig.Make<ug_wave_shaper>(kZigZag);
  ShaperTable expected{};
  kr::dsp::BuildPointCurve(kr::dsp::ParseShapePoints(kZigZag), expected);
  EXPECT_EQ(shaper->Table(), expected);
  ASSERT_EQ(rig.tap->samples.size(), 4096u);
  for (int t = 0; t < 4096; ++t) {
    const float in = -0.6f + 1.2f * static_cast<float>(t) / 4096.0f;
    ASSERT_EQ(rig.tap->samples[static_cast<std::size_t>(t)], kr::dsp::ShapeLookup(expected, in)) << t;
  }
}

TEST(WaveShaper2, ModuleUsesItsFormulaAndVoiceCopiesShareTheTable) {
  ShaperRig rig;
  auto* shaper = rig.Make<ug_wave_shaper2>("x * x / 5");
  EXPECT_FLOAT_EQ(shaper->Table()[0], 0.5f) << "(-5)^2 / 5 = 5 V";
  EXPECT_EQ(shaper->Table()[256], 0.0f);
  auto copy = shaper->Clone();
  EXPECT_EQ(&static_cast<ug_wave_shaper2&>(*copy).Table(), &shaper->Table());
  EXPECT_FLOAT_EQ(rig.tap->samples.back(), 0.5f) << "inputs above +5 V read entry 512";
}

}  // namespace
