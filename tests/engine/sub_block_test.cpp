// The sub-block length and how host blocks are cut.
#include <gtest/gtest.h>

#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

TEST(SubBlockLength, FollowsTheHostBlockSize) {
  const std::pair<int, int> cases[] = {{1, 1},     {64, 64},     {95, 95},     {150, 75},    {160, 80},
                                       {192, 96},  {480, 96},    {576, 96},    {256, 128},   {512, 128},
                                       {1024, 128}, {2048, 128}, {4096, 128},  {441, 63},    {735, 105},
                                       {882, 98},  {1000, 100},  {97, 97},     {8191, 8191}, {0, 1},
                                       {-5, 1},    {65537, 128}, {1 << 30, 128}};
  for (auto [n, expected] : cases) EXPECT_EQ(ComputeSubBlockLength(n), expected) << "N = " << n;
}

TEST(SubBlockLength, AlwaysDividesTheHostBlock) {
  for (int n = 1; n <= 5000; ++n) ASSERT_EQ(n % ComputeSubBlockLength(n), 0) << n;
}

TEST(SubBlockLength, SetBlockSizeSetsTheProcessWideValueAndTheEnginesOwn) {
  TestEngine engine(441);
  EXPECT_EQ(engine.L(), 63);
  EXPECT_EQ(SubBlockLength(), 63);
  USampBlock block;
  EXPECT_EQ(block.length(), 63);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.samples()) % 16, 0u);
  for (int i = 0; i < 63 + 8; ++i) ASSERT_EQ(block[i], 0.0f);
}

TEST(Process, SubBlocksNeverCrossAMultipleOfL) {
  TestEngine engine(512);
  auto* tap = engine.root.Add<Tap>(1);
  engine.Start();
  engine.master.Process(512);
  engine.master.Process(64);
  engine.master.Process(100);
  const std::vector<std::pair<int, int>> expected = {{0, 128},   {128, 128}, {256, 128}, {384, 128},
                                                     {512, 64},  {576, 64},  {640, 36}};
  EXPECT_EQ(tap->runs, expected);
  EXPECT_EQ(engine.master.now, 676);
  EXPECT_EQ(engine.master.periodStart, 640);
}

TEST(Process, ZeroLengthBlockWalksOnceAndKeepsTheClock) {
  TestEngine engine(64);
  auto* tap = engine.root.Add<Tap>(1);
  engine.Start();
  engine.master.Process(64);
  engine.master.Process(0);
  ASSERT_EQ(tap->runs.size(), 2u);
  EXPECT_EQ(tap->runs[1], std::make_pair(64, 0));
  EXPECT_EQ(engine.master.now, 64);
  EXPECT_EQ(tap->clock, 64);
}

TEST(Process, NegativeHostCountIsTakenAsZero) {
  TestEngine engine(64);
  auto* tap = engine.root.Add<Tap>(1);
  engine.Start();
  engine.master.Process(10);
  engine.master.Process(-100);
  EXPECT_EQ(engine.master.now, 10);
  EXPECT_EQ(tap->clock, 10);
  EXPECT_EQ(tap->runs.back(), std::make_pair(10, 0));
}

TEST(Process, HostBlockOfOneRunsOneSampleSubBlocks) {
  TestEngine engine(1);
  auto* tap = engine.root.Add<Tap>(1);
  engine.Start();
  for (int i = 0; i < 5; ++i) engine.master.Process(1);
  ASSERT_EQ(tap->runs.size(), 5u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(tap->runs[i], std::make_pair(i, 1));
}

TEST(Process, ModulesRunInDescendingSortOrder) {
  TestEngine engine(64);
  auto* late = engine.root.Add<Tap>(1);
  auto* early = engine.root.Add<Tap>(9);
  auto* middle = engine.root.Add<Tap>(5);
  auto* sameAsMiddle = engine.root.Add<Tap>(5);
  engine.Start();
  const std::vector<EventProcessor*> expected = {early, middle, sameAsMiddle, late};
  EXPECT_EQ(engine.ActiveList(), expected);
}
