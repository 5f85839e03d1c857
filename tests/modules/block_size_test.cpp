// A small voice (oscillators with streaming pitch and sync, an envelope on a
// stepped and a streaming gate, VCAs) renders bit-identically whatever the
// host block size.
#include <gtest/gtest.h>

#include <bit>

#include "modules/env/adsr.h"
#include "modules/env/env_8_stage.h"
#include "modules/env/vca.h"
#include "modules/osc/oscillator.h"
#include "modules/osc/test_tone.h"
#include "support/sound_rig.h"

using namespace kr;

using namespace krtest;
using Osc = ug_oscillator2;

namespace {

constexpr int kTotal = 30000;

std::vector<float> RenderVoice(int hostBlock) {
  TestEngine engine(hostBlock);
  auto& root = engine.root;
  auto* pitch = root.Add<FunctionSource>(100);
  pitch->f = [](int t) { return 0.45f + 0.2f * static_cast<float>(t % 9000) / 9000.0f; };
  auto* gateSteps = root.Add<StepSource>(100);
  auto* gateWave = root.Add<FunctionSource>(100);
  gateWave->f = [](int t) { return (t / 2500) % 2 == 0 ? 0.5f : -0.5f; };
  auto* master = root.Add<Osc>(90);
  auto* slave = root.Add<Osc>(80);
  auto* adsr = root.Add<ug_adsr>(70);
  auto* eight = root.Add<ug_8_stage>(70);
  auto* vca1 = root.Add<ug_vca>(60);
  auto* vca2 = root.Add<ug_vca>(50);
  auto* tone = root.Add<ug_test_tone>(90);
  auto* vca3 = root.Add<ug_vca>(50);
  auto* tap1 = root.Add<Tap>(3);
  auto* tap2 = root.Add<Tap>(2);
  auto* tap3 = root.Add<Tap>(1);
  Connect(pitch->GetPlug(0), master->GetPlug(Osc::PN_PITCH));
  Connect(master->GetPlug(Osc::PN_OUT), slave->GetPlug(Osc::PN_SYNC));
  Connect(gateSteps->GetPlug(0), adsr->GetPlug(ug_adsr::PN_GATE));
  Connect(gateWave->GetPlug(0), eight->GetPlug(ug_8_stage::PN_GATE));
  Connect(slave->GetPlug(Osc::PN_OUT), vca1->GetPlug(ug_vca::PN_SIGNAL));
  Connect(adsr->GetPlug(ug_adsr::PN_OUT), vca1->GetPlug(ug_vca::PN_VOLUME));
  Connect(master->GetPlug(Osc::PN_OUT), vca2->GetPlug(ug_vca::PN_SIGNAL));
  Connect(eight->GetPlug(ug_8_stage::PN_OUT), vca2->GetPlug(ug_vca::PN_VOLUME));
  Connect(tone->GetPlug(0), vca3->GetPlug(ug_vca::PN_SIGNAL));
  Connect(vca1->GetPlug(ug_vca::PN_OUT), tap1->GetPlug(0));
  Connect(vca2->GetPlug(ug_vca::PN_OUT), tap2->GetPlug(0));
  Connect(vca3->GetPlug(ug_vca::PN_OUT), tap3->GetPlug(0));
  ApplyInputs(*master, {{Osc::PN_WAVEFORM, "3"}});  // triangle: the sweep crosses tables
  ApplyInputs(*slave, {{Osc::PN_PITCH, "7.3"}, {Osc::PN_WAVEFORM, "1"}});
  ApplyInputs(*adsr, {{ug_adsr::PN_ATTACK, "2"}, {ug_adsr::PN_RELEASE, "3"}});
  ApplyInputs(*eight, {{ug_8_stage::PN_SUS_SEG, "10"}});
  ApplyInputs(*vca1, {{ug_vca::PN_CURVE, "3"}});
  ApplyInputs(*vca2, {{ug_vca::PN_CURVE, "1"}});
  ApplyInputs(*vca3, {{ug_vca::PN_VOLUME, "7"}, {ug_vca::PN_CURVE, "0"}});
  for (auto [t, v] : {std::pair{0, 0.0f}, {577, 1.0f}, {9001, 0.0f}, {9500, 1.0f}, {20063, 0.0f}})
    gateSteps->ScheduleStep(t, v);
  engine.Start();
  engine.Render(kTotal, hostBlock);
  std::vector<float> all = tap1->samples;
  all.insert(all.end(), tap2->samples.begin(), tap2->samples.end());
  all.insert(all.end(), tap3->samples.begin(), tap3->samples.end());
  return all;
}

}  // namespace

TEST(SoundBlockSize, TheSameRenderWithBlocksOf1And64And4096IsBitIdentical) {
  const std::vector<float> reference = RenderVoice(64);
  ASSERT_EQ(reference.size(), 3u * kTotal);
  EXPECT_NE(reference[5000], 0.0f);
  for (int hostBlock : {1, 4096, 441}) {
    const std::vector<float> samples = RenderVoice(hostBlock);
    ASSERT_EQ(samples.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i)
      ASSERT_EQ(std::bit_cast<std::uint32_t>(samples[i]), std::bit_cast<std::uint32_t>(reference[i]))
          << "sample " << i % kTotal << " of output " << i / kTotal << " with host block " << hostBlock;
  }
}
