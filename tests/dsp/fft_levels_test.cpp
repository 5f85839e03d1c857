// The spectrum kernel (kissfft underneath) finds tones in their bins at
// their levels; the crusher's word and rate reduction.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/crusher.h"
#include "dsp/fft_levels.h"

namespace krtest {
using namespace kr;

namespace {

std::vector<float> Sine(double hz, double rate, int n, double amplitude) {
  std::vector<float> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    s[static_cast<std::size_t>(i)] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate));
  return s;
}

int Peak(const std::vector<float>& levels) {
  return static_cast<int>(std::max_element(levels.begin(), levels.end()) - levels.begin());
}

TEST(Spectrum, FindsAOneKilohertzSineInItsBin) {
  dsp::Spectrum spectrum(1024);
  ASSERT_EQ(spectrum.Bins(), 513);
  std::vector<float> levels(513);
  spectrum.Analyse(Sine(1000.0, 44100.0, 1024, 0.5), levels);
  EXPECT_EQ(dsp::Spectrum::BinOf(1000.0, 44100.0, 1024), 23);  // 1000 / (44100 / 1024) = 23.2
  EXPECT_EQ(Peak(levels), 23);
  // Half scale is -6 dB; 0.2 bin off centre loses a little more through the window.
  EXPECT_NEAR(levels[23], -6.02, 0.5);
  EXPECT_LT(levels[40], -40.0);
  EXPECT_NEAR(dsp::Spectrum::FrequencyOf(23, 44100.0, 1024), 990.5, 0.1);
}

TEST(Spectrum, ABinCentredSineReadsItsAmplitudeAndOtherSizesAreRounded) {
  dsp::Spectrum spectrum(256);
  std::vector<float> levels(129);
  // Bin 32 of 256 at 48 kHz: 6 kHz.
  spectrum.Analyse(Sine(6000.0, 48000.0, 256, 1.0), levels);
  EXPECT_EQ(Peak(levels), 32);
  EXPECT_NEAR(levels[32], 0.0, 0.01);
  EXPECT_EQ(dsp::Spectrum(1000).Size(), 1024);
  EXPECT_EQ(dsp::Spectrum(0).Size(), dsp::Spectrum::kMinSize);
  EXPECT_EQ(dsp::Spectrum(1 << 30).Size(), dsp::Spectrum::kMaxSize);
  // Short spans are refused, not read past.
  std::vector<float> few(10, -1.0f);
  spectrum.Analyse(std::vector<float>(100), few);
  EXPECT_EQ(few[0], -1.0f);
  // Silence and nonsense stay finite.
  spectrum.Analyse(std::vector<float>(256, 0.0f), levels);
  EXPECT_TRUE(std::isfinite(levels[5]));
  EXPECT_EQ(dsp::Spectrum::BinOf(NAN, 44100.0, 256), 0);
  EXPECT_EQ(dsp::Spectrum::BinOf(1e9, 44100.0, 256), 128);
}

TEST(Spectrum, BandsGatherBinsLogarithmically) {
  std::vector<float> levels(513, -100.0f);
  levels[23] = 0.0f;
  levels[400] = -10.0f;
  levels[401] = -3.0f;  // the loudest of a wide band wins
  std::vector<float> bands(128);
  dsp::Spectrum::Bands(levels, bands);
  EXPECT_EQ(std::count(bands.begin(), bands.end(), 0.0f), 1);
  EXPECT_EQ(std::count(bands.begin(), bands.end(), -10.0f), 0);
  EXPECT_EQ(std::count(bands.begin(), bands.end(), -3.0f), 1);
  // Narrow low bands repeat their nearest bin; nothing is read past the end.
  std::vector<float> few(2, 5.0f);
  dsp::Spectrum::Bands(few, bands);
  EXPECT_EQ(bands[127], 5.0f);
}

TEST(Crusher, RoundsToItsLevelsAndHoldsBetweenTakenSamples) {
  EXPECT_EQ(dsp::crusher::LevelsFor(0.0f), 1.0);      // 0 V: one bit
  EXPECT_EQ(dsp::crusher::LevelsFor(1.0f), 32768.0);  // 10 V: 16 bits
  EXPECT_EQ(dsp::crusher::StepFor(1.0f), 1.0);
  EXPECT_EQ(dsp::crusher::StepFor(0.0f), 1.0 / 64.0);
  EXPECT_EQ(dsp::crusher::LevelsFor(NAN), 32768.0);
  dsp::crusher::State s;
  EXPECT_EQ(dsp::crusher::Process(s, 0.3f, 4.0, 1.0), 0.25f);
  EXPECT_EQ(dsp::crusher::Process(s, -0.4f, 4.0, 1.0), -0.5f);
  // One sample in four: the first is taken, the next three hold it.
  dsp::crusher::State slow;
  const float in[] = {0.5f, 0.1f, 0.2f, 0.3f, 0.75f};
  float out[5];
  for (int i = 0; i < 5; ++i) out[i] = dsp::crusher::Process(slow, in[i], 4.0, 0.25);
  EXPECT_EQ(out[0], 0.5f);
  EXPECT_EQ(out[3], 0.5f);
  EXPECT_EQ(out[4], 0.75f);
}

}  // namespace

}  // namespace krtest
