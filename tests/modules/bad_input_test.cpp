// Inputs that no patch should send (not-a-number, infinities, absurd sizes)
// never crash a sound module, never hang an envelope, and where the module
// itself makes the values, never produce anything but finite samples.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "modules/env/adsr.h"
#include "modules/env/env_8_stage.h"
#include "modules/env/vca.h"
#include "modules/osc/oscillator.h"
#include "modules/osc/oscillator_pd.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;

namespace {

float Garbage(int t) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const float values[] = {std::nanf(""), kInf, -kInf, 1e30f, -1e30f, 0.5f, -0.5f, 0.0f};
  return values[(t / 7) % 8];
}

// Feeds garbage into the listed inputs and defaults into the rest.
template <class Module>
std::vector<float> RenderWithGarbage(std::initializer_list<int> garbageInputs, std::map<int, std::string> inputs = {}) {
  TestEngine engine(64);
  auto* module = engine.root.Add<Module>(10);
  auto* tap = engine.root.Add<Tap>(1);
  for (int plug : garbageInputs) {
    auto* source = engine.root.Add<FunctionSource>(20);
    source->f = Garbage;
    Connect(source->GetPlug(0), module->GetPlug(plug));
  }
  for (int i = 0; i < module->PlugCount(); ++i)
    if (module->GetPlug(i)->direction == DR_OUT && module->GetPlug(i)->type == DT_AUDIO)
      Connect(module->GetPlug(i), tap->GetPlug(0));
  ApplyInputs(*module, inputs);
  engine.Start();
  engine.Render(8192, 64);
  return tap->samples;
}

bool AllFinite(const std::vector<float>& s) {
  return std::all_of(s.begin(), s.end(), [](float v) { return std::isfinite(v); });
}

}  // namespace

TEST(BadInput, OscillatorsStayFinite) {
  using Osc = ug_oscillator2;
  for (const char* wave : {"0", "1", "2", "4", "6"}) {
    EXPECT_TRUE(AllFinite(RenderWithGarbage<Osc>({Osc::PN_PITCH, Osc::PN_PULSE_WIDTH, Osc::PN_SYNC, Osc::PN_PHASE_MOD,
                                                  Osc::PN_PM_DEPTH},
                                                 {{Osc::PN_WAVEFORM, wave}})))
        << "wave " << wave;
  }
  EXPECT_TRUE(AllFinite(RenderWithGarbage<Osc>({Osc::PN_PITCH}, {{Osc::PN_WAVEFORM, "99"}, {Osc::PN_FREQ_SCALE, "1"}})));
  for (const char* wave : {"0", "5", "-7", "300"}) {
    EXPECT_TRUE(AllFinite(RenderWithGarbage<ug_oscillator_pd>(
        {ug_oscillator_pd::PN_PITCH, ug_oscillator_pd::PN_DEPTH}, {{ug_oscillator_pd::PN_WAVE1, wave}})))
        << "wave " << wave;
  }
}

TEST(BadInput, EnvelopesStayFiniteAndKeepMoving) {
  EXPECT_TRUE(AllFinite(RenderWithGarbage<ug_adsr>(
      {ug_adsr::PN_GATE, ug_adsr::PN_ATTACK, ug_adsr::PN_DECAY, ug_adsr::PN_SUSTAIN, ug_adsr::PN_RELEASE})));
  EXPECT_TRUE(AllFinite(RenderWithGarbage<ug_8_stage>(
      {ug_8_stage::PN_GATE, ug_8_stage::RatePlug(0), ug_8_stage::LevelPlug(0), ug_8_stage::RatePlug(3),
       ug_8_stage::LevelPlug(5)},
      {{ug_8_stage::PN_SUS_SEG, "-3"}, {ug_8_stage::PN_END_SEG, "300"}})));
  // Overall Level passes straight through: only the absence of a crash counts.
  RenderWithGarbage<ug_adsr>({ug_adsr::PN_OVERALL});
}

TEST(BadInput, VcaNeverCrashes) {
  const auto out = RenderWithGarbage<ug_vca>({ug_vca::PN_VOLUME}, {{ug_vca::PN_SIGNAL, "5"}, {ug_vca::PN_CURVE, "3"}});
  EXPECT_EQ(out.size(), 8192u);
  RenderWithGarbage<ug_vca>({ug_vca::PN_SIGNAL, ug_vca::PN_VOLUME}, {{ug_vca::PN_CURVE, "77"}});
  EXPECT_EQ(kr::dsp::vca::Gain(VC_EXPONENTIAL, std::nanf("")), 0.0f);
}
