// The pieces of a torture run: its note phrase, its input signals, its output
// measures and the audio-call mark the allocation hook reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "host/audio_call.h"
#include "host/torture_signal.h"

using namespace kr;

namespace {

using torture::InputKind;

// Every note event with its time from the start.
std::vector<std::pair<std::int64_t, MidiAt>> Play(const torture::Phrase& phrase, std::vector<int> blocks) {
  std::vector<std::pair<std::int64_t, MidiAt>> played;
  std::int64_t start = 0;
  std::vector<MidiAt> midi;
  for (int frames : blocks) {
    midi.clear();
    phrase.Fill(start, frames, midi);
    for (const MidiAt& m : midi) {
      EXPECT_GE(m.offset, 0);
      EXPECT_LT(m.offset, frames);
      played.push_back({start + m.offset, m});
    }
    start += frames;
  }
  std::sort(played.begin(), played.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.status < b.second.status;
  });
  return played;
}

TEST(TorturePhrase, SameNotesAtTheSameTimesWhateverTheBlocks) {
  const torture::Phrase phrase(1000.0);  // a note every 250 frames, held 200
  const auto whole = Play(phrase, {1000});
  ASSERT_EQ(whole.size(), 8u);
  EXPECT_EQ(whole[0].first, 0);
  EXPECT_EQ(whole[0].second.status, 0x90);
  EXPECT_EQ(whole[0].second.data1, 48);
  EXPECT_EQ(whole[1].first, 200);
  EXPECT_EQ(whole[1].second.status, 0x80);
  EXPECT_EQ(whole[1].second.data1, 48);
  EXPECT_EQ(whole[2].first, 250);
  EXPECT_EQ(whole[2].second.data1, 55);
  const auto split = Play(phrase, {1, 0, 199, 1, 50, 249, 7, 493});
  ASSERT_EQ(split.size(), whole.size());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    EXPECT_EQ(split[i].first, whole[i].first) << i;
    EXPECT_EQ(split[i].second.status, whole[i].second.status) << i;
    EXPECT_EQ(split[i].second.data1, whole[i].second.data1) << i;
  }
}

TEST(TortureInput, EveryKindHoldsWhatItsNameSays) {
  std::mt19937 random(1);
  std::vector<float> channel(64);
  torture::FillInput(channel, InputKind::Subnormal, random);
  for (float s : channel) EXPECT_EQ(std::fpclassify(s), FP_SUBNORMAL);
  torture::FillInput(channel, InputKind::NaN, random);
  for (float s : channel) EXPECT_TRUE(std::isnan(s));
  torture::FillInput(channel, InputKind::MinusInfinity, random);
  for (float s : channel) EXPECT_EQ(s, -std::numeric_limits<float>::infinity());
  torture::FillInput(channel, InputKind::Noise, random);
  float peak = 0.0f;
  for (float s : channel) peak = std::fmax(peak, std::fabs(s));
  EXPECT_LE(peak, 1.0f);
  EXPECT_GT(peak, 0.5f);
}

TEST(TortureOutput, NonFiniteSamplesAreCountedNotMeasured) {
  torture::OutputStats stats;
  const float samples[] = {0.5f, -0.5f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()};
  stats.Add(samples);
  EXPECT_EQ(stats.frames, 4);
  EXPECT_EQ(stats.nonFinite, 2);
  EXPECT_FALSE(stats.Finite());
  EXPECT_FLOAT_EQ(stats.peak, 0.5f);
  EXPECT_DOUBLE_EQ(stats.Rms(), std::sqrt(0.5 / 4.0));
}

TEST(AudioCall, HostCallsInsideAnAudioCallAreNotThePluginsAndCountingIsPerThread) {
  EXPECT_FALSE(audio_call::Inside());
  {
    const audio_call::Scope audio;
    EXPECT_TRUE(audio_call::Inside());
    {
      const audio_call::HostScope host;
      EXPECT_FALSE(audio_call::Inside());
    }
    EXPECT_TRUE(audio_call::Inside());
  }
  EXPECT_FALSE(audio_call::Inside());
  audio_call::SetCounting(true);
  bool otherThreadCounts = true;
  std::thread([&] { otherThreadCounts = audio_call::Counting(); }).join();
  EXPECT_FALSE(otherThreadCounts);
  audio_call::SetCounting(false);
}

}  // namespace
