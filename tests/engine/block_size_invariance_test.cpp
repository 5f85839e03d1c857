// The same graph gives the same samples whatever the host block size.
#include <gtest/gtest.h>

#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kTotal = 12288;

// ramp -> gain -> tap, and step source -> gain -> gain -> tap with steps at
// odd times (a sub-block start, a last sample, two in a row).
std::vector<float> Render(int hostBlock) {
  TestEngine engine(hostBlock);
  auto* ramp = engine.root.Add<RampSource>(20);
  auto* g1 = engine.root.Add<Gain>(15);
  auto* steps = engine.root.Add<StepSource>(20);
  auto* g2 = engine.root.Add<Gain>(15);
  auto* g3 = engine.root.Add<Gain>(10);
  auto* mix = engine.root.Add<TestAdder>(5);
  auto* tap = engine.root.Add<Tap>(1);
  g3->gain = 3.0f;
  Connect(ramp->GetPlug(0), g1->GetPlug(0));
  Connect(steps->GetPlug(0), g2->GetPlug(0));
  Connect(g2->GetPlug(1), g3->GetPlug(0));
  Connect(g1->GetPlug(1), mix->GetPlug(1));
  Connect(g3->GetPlug(1), mix->GetPlug(1));
  Connect(mix->GetPlug(0), tap->GetPlug(0));
  const std::pair<int, float> schedule[] = {{0, 0.1f},    {128, 0.2f},  {1023, 0.3f}, {1024, -0.4f},
                                            {4000, 0.5f}, {4001, 0.6f}, {9999, 0.0f}};
  for (auto [t, v] : schedule) steps->ScheduleStep(t, v);
  engine.Start();
  engine.Render(kTotal, hostBlock);
  return tap->samples;
}

}  // namespace

TEST(BlockSizeInvariance, OutputIsBitIdenticalForEveryHostBlockSize) {
  const std::vector<float> reference = Render(1);
  ASSERT_EQ(reference.size(), static_cast<std::size_t>(kTotal));
  // Spot checks: the ramp through one gain plus the held steps through two.
  EXPECT_EQ(reference[1023], 0.0f + (23.0f * 0.001f) * 0.5f + (0.3f * 0.5f) * 3.0f);
  EXPECT_EQ(reference[1024], 0.0f + (24.0f * 0.001f) * 0.5f + (-0.4f * 0.5f) * 3.0f);
  EXPECT_EQ(reference[11000], 0.0f + (0.0f * 0.001f) * 0.5f + (0.0f * 0.5f) * 3.0f);
  for (int hostBlock : {63, 64, 150, 441, 512, 4096}) {
    const std::vector<float> samples = Render(hostBlock);
    ASSERT_EQ(samples.size(), reference.size());
    for (std::size_t i = 0; i < reference.size(); ++i)
      ASSERT_EQ(std::bit_cast<std::uint32_t>(samples[i]), std::bit_cast<std::uint32_t>(reference[i]))
          << "sample " << i << " with host block " << hostBlock;
  }
}
