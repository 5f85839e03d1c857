// The WAVE writer: headers byte for byte, clipping, padding, and a round
// trip of each sample format through a small reader.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "host/wave_writer.h"

using namespace kr;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Written(std::ostringstream& s) {
  const std::string text = s.str();
  return Bytes(text.begin(), text.end());
}

std::uint32_t Le(const Bytes& b, std::size_t at, int count) {
  std::uint32_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
  return v;
}

TEST(WaveWriter, SixteenBitStereoHeaderAndSamplesByteForByte) {
  std::ostringstream out;
  WaveWriter w(out, WaveFormat::Pcm16, 2, 44100);
  const float left[] = {0.5f, -1.0f};
  const float right[] = {0.25f, 1.5f};
  const float* channels[] = {left, right};
  ASSERT_TRUE(w.Write(channels, 2));
  ASSERT_TRUE(w.Finish());
  const Bytes expected = {'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                          1, 0, 2, 0, 0x44, 0xAC, 0, 0, 0x10, 0xB1, 0x02, 0, 4, 0, 16, 0, 'd', 'a', 't', 'a',
                          8, 0, 0, 0, 0x00, 0x40, 0x00, 0x20, 0x01, 0x80, 0xFF, 0x7F};
  EXPECT_EQ(Written(out), expected);
  EXPECT_EQ(w.ClippedSamples(), 1);
  EXPECT_EQ(w.FramesWritten(), 2);
}

TEST(WaveWriter, TwentyFourBitMonoIsPaddedToAnEvenLength) {
  std::ostringstream out;
  WaveWriter w(out, WaveFormat::Pcm24, 1, 48000);
  const float mono[] = {-0.5f};
  const float* channels[] = {mono};
  ASSERT_TRUE(w.Write(channels, 1));
  ASSERT_TRUE(w.Finish());
  const Bytes b = Written(out);
  ASSERT_EQ(b.size(), 48u);
  EXPECT_EQ(Le(b, 4, 4), 40u);          // RIFF size counts the pad byte
  EXPECT_EQ(Le(b, 22, 2), 1u);          // channels
  EXPECT_EQ(Le(b, 24, 4), 48000u);
  EXPECT_EQ(Le(b, 28, 4), 144000u);     // bytes a second
  EXPECT_EQ(Le(b, 32, 2), 3u);          // block align
  EXPECT_EQ(Le(b, 34, 2), 24u);
  EXPECT_EQ(Le(b, 40, 4), 3u);          // data size does not
  EXPECT_EQ(Le(b, 44, 3), 0xC00000u);   // -0.5 of full scale
  EXPECT_EQ(b[47], 0);
  EXPECT_EQ(w.ClippedSamples(), 0);
}

TEST(WaveWriter, FloatHasExtendedFormatAndFactChunkAndNeverClips) {
  std::ostringstream out;
  WaveWriter w(out, WaveFormat::Float32, 2, 96000);
  const float a[] = {2.0f, -0.125f, 0.0f};
  const float b[] = {0.5f, 0.75f, -3.0f};
  const float* channels[] = {a, b};
  ASSERT_TRUE(w.Write(channels, 3));
  ASSERT_TRUE(w.Finish());
  const Bytes bytes = Written(out);
  ASSERT_EQ(bytes.size(), 58u + 24u);
  EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "fmt ");
  EXPECT_EQ(Le(bytes, 4, 4), 50u + 24u);
  EXPECT_EQ(Le(bytes, 16, 4), 18u);
  EXPECT_EQ(Le(bytes, 20, 2), 3u);  // IEEE float
  EXPECT_EQ(Le(bytes, 32, 2), 8u);
  EXPECT_EQ(Le(bytes, 34, 2), 32u);
  EXPECT_EQ(Le(bytes, 36, 2), 0u);  // no extension bytes
  EXPECT_EQ(std::string(bytes.begin() + 38, bytes.begin() + 42), "fact");
  EXPECT_EQ(Le(bytes, 42, 4), 4u);
  EXPECT_EQ(Le(bytes, 46, 4), 3u);  // frames
  EXPECT_EQ(std::string(bytes.begin() + 50, bytes.begin() + 54), "data");
  EXPECT_EQ(Le(bytes, 54, 4), 24u);
  EXPECT_EQ(std::bit_cast<float>(Le(bytes, 58, 4)), 2.0f);
  EXPECT_EQ(std::bit_cast<float>(Le(bytes, 78, 4)), -3.0f);
  EXPECT_EQ(w.ClippedSamples(), 0);
}

// Reads back what the writer made: format, channels and samples as floats.
std::vector<std::vector<float>> ReadBack(const Bytes& b, WaveFormat format, int channels) {
  const int bytes = WaveWriter::BytesPerSample(format);
  const std::size_t dataAt = format == WaveFormat::Float32 ? 58 : 44;
  const std::size_t size = Le(b, dataAt - 4, 4);
  const std::size_t frames = size / static_cast<std::size_t>(bytes * channels);
  std::vector<std::vector<float>> out(static_cast<std::size_t>(channels), std::vector<float>(frames));
  for (std::size_t i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      const std::size_t at = dataAt + (i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)) *
                                          static_cast<std::size_t>(bytes);
      const std::uint32_t raw = Le(b, at, bytes);
      float v = 0.0f;
      if (format == WaveFormat::Float32) v = std::bit_cast<float>(raw);
      if (format == WaveFormat::Pcm16) v = static_cast<float>(static_cast<std::int16_t>(raw)) / 32767.0f;
      if (format == WaveFormat::Pcm24)
        v = static_cast<float>(static_cast<std::int32_t>(raw << 8) >> 8) / 8388607.0f;
      out[static_cast<std::size_t>(c)][i] = v;
    }
  }
  return out;
}

TEST(WaveWriter, EachFormatRoundTripsInSeveralBlocks) {
  for (WaveFormat format : {WaveFormat::Pcm16, WaveFormat::Pcm24, WaveFormat::Float32}) {
    std::vector<std::vector<float>> source(3, std::vector<float>(1000));
    for (std::size_t i = 0; i < 1000; ++i)
      for (std::size_t c = 0; c < 3; ++c)
        source[c][i] = 0.999f * static_cast<float>(std::sin(0.01 * static_cast<double>(i * (c + 1))));
    std::ostringstream out;
    WaveWriter w(out, format, 3, 44100);
    for (int start = 0; start < 1000; start += 300) {
      const float* channels[] = {source[0].data() + start, source[1].data() + start, source[2].data() + start};
      ASSERT_TRUE(w.Write(channels, std::min(300, 1000 - start)));
    }
    ASSERT_TRUE(w.Finish());
    const auto back = ReadBack(Written(out), format, 3);
    const float tolerance = format == WaveFormat::Pcm16 ? 0.5f / 32767 : format == WaveFormat::Pcm24 ? 0.5f / 8388607 : 0.0f;
    for (std::size_t c = 0; c < 3; ++c) {
      ASSERT_EQ(back[c].size(), 1000u);
      for (std::size_t i = 0; i < 1000; ++i) ASSERT_NEAR(back[c][i], source[c][i], tolerance * 1.001f) << c << " " << i;
    }
  }
}

TEST(WaveWriter, NotANumberCountsAsClippedAndIsWrittenAsSilence) {
  std::ostringstream out;
  WaveWriter w(out, WaveFormat::Pcm16, 1, 44100);
  const float mono[] = {std::nanf(""), -7.0f};
  const float* channels[] = {mono};
  ASSERT_TRUE(w.Write(channels, 2));
  ASSERT_TRUE(w.Finish());
  const Bytes b = Written(out);
  EXPECT_EQ(Le(b, 44, 2), 0u);
  EXPECT_EQ(Le(b, 46, 2), 0x8001u);
  EXPECT_EQ(w.ClippedSamples(), 2);
}

}  // namespace

namespace {

// Long blocks take the four-at-a-time path: every sample as the one-sample
// rule writes it (clipped to full scale, NaN as silence, rounded to even).
TEST(WaveWriter, LongSixteenBitBlocksMatchTheOneSampleRule) {
  std::vector<float> left, right;
  const float specials[] = {std::nanf(""), INFINITY, -INFINITY, 1.5f, -1.5f, 1.0f, -1.0f, 0.0f, -0.0f,
                            0.5f / 32767.0f, 1.5f / 32767.0f, 2.5f / 32767.0f, -0.5f / 32767.0f, 0.999999f};
  for (float v : specials) left.push_back(v);
  for (int i = 0; left.size() < 203; ++i) left.push_back(std::sin(i * 0.37f) * 1.2f);
  for (float v : left) right.push_back(-v * 0.7f);
  std::ostringstream out;
  WaveWriter w(out, WaveFormat::Pcm16, 2, 44100);
  const float* channels[] = {left.data(), right.data()};
  ASSERT_TRUE(w.Write(channels, static_cast<int>(left.size())));
  ASSERT_TRUE(w.Finish());
  const Bytes b = Written(out);
  int clipped = 0;
  auto expect = [&clipped](float x) {
    double v = x;
    if (!(v >= -1.0 && v <= 1.0)) {
      ++clipped;
      v = std::isnan(v) ? 0.0 : (v > 0 ? 1.0 : -1.0);
    }
    return static_cast<std::uint32_t>(std::lrint(v * 32767.0)) & 0xFFFFu;
  };
  for (std::size_t i = 0; i < left.size(); ++i) {
    ASSERT_EQ(Le(b, 44 + 4 * i, 2), expect(left[i])) << i;
    ASSERT_EQ(Le(b, 46 + 4 * i, 2), expect(right[i])) << i;
  }
  EXPECT_EQ(w.ClippedSamples(), clipped);
}

}  // namespace
