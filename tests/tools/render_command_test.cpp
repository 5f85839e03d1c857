// kestrune render end to end: the program loads a plug-in from its own
// shared library, plays a MIDI file through it and writes a WAVE file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/midifile/midi_file_writer.h"
#include "support/command.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::int32_t Sample24(const Bytes& b, std::size_t at) {
  const std::uint32_t raw = b.at(at) | (b.at(at + 1) << 8) | (static_cast<std::uint32_t>(b.at(at + 2)) << 16);
  return static_cast<std::int32_t>(raw << 8) >> 8;
}

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(program_)) GTEST_SKIP() << "kestrune not built";
  }
#if defined(_WIN32)
  // cmd.exe runs the commands: it wants the drive, backslashes and the extension.
  std::string program_ =
      std::filesystem::absolute(std::string(KR_BINARY_DIR) + "/kestrune.exe").make_preferred().string();
#else
  std::string program_ = std::string(KR_BINARY_DIR) + "/kestrune";
#endif
  krtest::TempDir dir_;
};

TEST_F(RenderCommand, PlaysAMidiFileThroughAPluginIntoAWaveFile) {
  // 120 bpm, 96 ticks a quarter: one tick is 229.6875 samples at 44100 Hz.
  const Bytes midi = kr::midifile::WriteMidiFile(
      1, 96,
      {{{0, kr::midifile::TempoEvent(500000)}},
       {{0, {0x90, 60, 127}}, {48, {0x90, 62, 64}}, {96, {0x90, 64, 100}}, {96, {0x90, 65, 100}},
        {200, {0x90, 67, 127}}, {384, {0xB0, 7, 100}}}});
  WriteFile(dir_.path() / "in.mid", midi);
  const std::string out = (dir_.path() / "out.wav").string();
  int status = -1;
  const std::string text = krtest::RunCommand(program_ + " render --plugin " KR_CLICK_PLUGIN_PATH " --midi " +
                                   (dir_.path() / "in.mid").string() + " -o " + out +
                                   " --block 100 --format 24 --tail 0.5",
                               status);
  ASSERT_EQ(status, 0) << text;
  EXPECT_NE(text.find("2 channels, 44100 Hz, 24-bit PCM (the tail ended early on silence)"), std::string::npos)
      << text;
  EXPECT_NE(text.find("clipped samples: 2"), std::string::npos) << text;
  EXPECT_NE(text.find("voices used: 5 (the most notes held at once in the MIDI"), std::string::npos) << text;
  EXPECT_NE(text.find("x real time"), std::string::npos) << text;

  const Bytes wav = ReadFile(out);
  ASSERT_GE(wav.size(), 44u);
  // The end (tick 384, 88200 samples) and then 0.1 s of silence.
  const std::size_t frames = (wav.size() - 44) / 6;
  EXPECT_EQ(frames, 88200u + 4410u);
  std::vector<std::size_t> clicks;
  for (std::size_t i = 0; i < frames; ++i) {
    const std::int32_t left = Sample24(wav, 44 + i * 6);
    const std::int32_t right = Sample24(wav, 44 + i * 6 + 3);
    EXPECT_EQ(left, -right) << i;
    if (left != 0) clicks.push_back(i);
  }
  EXPECT_EQ(clicks, (std::vector<std::size_t>{0, 11025, 22050, 45938}));
  EXPECT_EQ(Sample24(wav, 44), 8388607);
  EXPECT_EQ(Sample24(wav, 44 + 22050 * 6), 8388607);  // 200/127: clipped
}

TEST_F(RenderCommand, ExplainsBadInput) {
  WriteFile(dir_.path() / "bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 2, 0, 1, 0, 96});
  int status = -1;
  std::string text = krtest::RunCommand(program_ + " render --plugin " KR_CLICK_PLUGIN_PATH " --midi " +
                             (dir_.path() / "bad.mid").string(),
                         status);
  EXPECT_NE(status, 0);
  EXPECT_NE(text.find("bad.mid: format 2 is not supported (only formats 0 and 1)"), std::string::npos) << text;

  text = krtest::RunCommand(program_ + " render --format 8", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(text.find("kestrune render: --format: 8 not in {16,24,float,32}"), std::string::npos) << text;
  text = krtest::RunCommand(program_ + " render --patch a.json --plugin b.so", status);
  EXPECT_EQ(status, 2);
  EXPECT_NE(text.find("--plugin excludes --patch"), std::string::npos) << text;
  text = krtest::RunCommand(program_ + " render --block 3.5", status);
  EXPECT_EQ(status, 2);
  EXPECT_NE(text.find("kestrune render: --block: "), std::string::npos) << text;
  text = krtest::RunCommand(program_ + " render --plugin /no/such/plugin.so", status);
  EXPECT_NE(status, 0);
  EXPECT_NE(text.find("cannot load /no/such/plugin.so"), std::string::npos) << text;
}

TEST_F(RenderCommand, DemoPhraseThroughAPluginInFloat) {
  const std::string out = (dir_.path() / "demo.wav").string();
  int status = -1;
  const std::string text =
      krtest::RunCommand(program_ + " render --plugin " KR_CLICK_PLUGIN_PATH " -o " + out + " --format float --rate 48000", status);
  ASSERT_EQ(status, 0) << text;
  EXPECT_NE(text.find("playing the demo phrase"), std::string::npos) << text;
  EXPECT_NE(text.find("voices used: 4"), std::string::npos) << text;
  EXPECT_EQ(text.find("clipped"), std::string::npos) << text;  // float never clips
  const Bytes wav = ReadFile(out);
  ASSERT_GE(wav.size(), 58u);
  EXPECT_EQ(wav[20], 3);  // IEEE float
  // Four bars at 120 bpm, then 0.1 s of silence.
  EXPECT_EQ((wav.size() - 58) / 8, 8u * 48000u + 4800u);
}

TEST_F(RenderCommand, PatchFilesAreExportedToATemporaryPluginAndPlayed) {
  WriteFile(dir_.path() / "one.mid",
            kr::midifile::WriteMidiFile(0, 96, {{{0, {0x90, 69, 100}}, {48, {0x80, 69, 0}}}}));
  const std::string midi = (dir_.path() / "one.mid").string();
  int status = -1;
  std::string text = krtest::RunCommand(program_ + " render --patch " KR_SOURCE_DIR "/examples/default-subtractive.json --midi " +
                                    midi + " -o " + (dir_.path() / "one.wav").string() + " --tail 1",
                                status);
  ASSERT_EQ(status, 0) << text;
  EXPECT_NE(text.find("default-subtractive.json playing " + midi), std::string::npos) << text;
  EXPECT_NE(text.find("voices used: 1 "), std::string::npos) << text;
  EXPECT_EQ(text.find("stayed silent"), std::string::npos) << text;

  WriteFile(dir_.path() / "broken.json", {'{', '\n', '"', 'x'});
  text = krtest::RunCommand(program_ + " render --patch " + (dir_.path() / "broken.json").string() + " --midi " + midi, status);
  EXPECT_NE(status, 0);
  EXPECT_NE(text.find("broken.json could not be exported as a plug-in"), std::string::npos) << text;
}

// Host blocks of 256 and 4096 samples share the engine's sub-block length
// (128), so the render must not change by a bit.
TEST_F(RenderCommand, DefaultPatchPlaysTheDemoAlikeForHostBlockSizes) {
  std::vector<Bytes> renders;
  for (const char* block : {"256", "4096"}) {
    const std::string out = (dir_.path() / (std::string("demo-") + block + ".wav")).string();
    int status = -1;
    const std::string text = krtest::RunCommand(program_ + " render -o " + out + " --block " + block, status);
    ASSERT_EQ(status, 0) << text;
    EXPECT_NE(text.find("kestrune render: the default patch playing the demo phrase"), std::string::npos) << text;
    EXPECT_EQ(text.find("stayed silent"), std::string::npos) << text;
    EXPECT_NE(text.find("clipped samples: 0"), std::string::npos) << text;
    renders.push_back(ReadFile(out));
  }
  ASSERT_GT(renders[0].size(), 44u + 8u * 44100u * 4u);  // the phrase is 8 s long
  EXPECT_TRUE(renders[0] == renders[1]) << "renders differ between block sizes";
  // The sound starts with the first note's gate, three samples after it (the
  // float renders below), through the four-pole low-pass of the first
  // program, whose output grows about as the fourth power of the time: 16
  // bits first round it above zero 22 samples in (1.7e-5 of full scale).
  std::size_t first = 0;
  while (44 + first * 4 + 3 < renders[0].size() && renders[0][44 + first * 4] == 0 && renders[0][45 + first * 4] == 0)
    ++first;
  EXPECT_EQ(first, 22u);
}

}  // namespace

namespace {

// Host blocks of 64 give a sub-block length of 64, the others 128: idle and
// released voices are suspended at other times, and their oscillators must
// still resume where uninterrupted ones would be. Floats show every bit.
TEST_F(RenderCommand, DefaultPatchRendersBitIdenticallyForEveryHostBlockSize) {
  std::vector<Bytes> renders;
  for (const char* block : {"4096", "64", "63", "441"}) {
    const std::string out = (dir_.path() / (std::string("float-") + block + ".wav")).string();
    int status = -1;
    const std::string text =
        krtest::RunCommand(program_ + " render -o " + out + " --format float --block " + block, status);
    ASSERT_EQ(status, 0) << text;
    renders.push_back(ReadFile(out));
    ASSERT_GT(renders.back().size(), 44u + 8u * 44100u * 8u);  // 8 s of two float channels
    EXPECT_TRUE(renders.back() == renders.front()) << "host block " << block << " renders otherwise than 4096";
  }
  // The first note's gate rises three samples after it; the sound starts there.
  const Bytes& wave = renders.front();
  const char kData[] = {'d', 'a', 't', 'a'};
  const std::size_t data =
      static_cast<std::size_t>(std::search(wave.begin(), wave.end(), kData, kData + 4) - wave.begin()) + 8;
  std::size_t first = 0;
  while (data + first * 8 + 4 <= wave.size() &&
         std::all_of(wave.begin() + static_cast<std::ptrdiff_t>(data + first * 8),
                     wave.begin() + static_cast<std::ptrdiff_t>(data + first * 8 + 4),
                     [](std::uint8_t b) { return b == 0; }))
    ++first;
  EXPECT_EQ(first, 3u);
}

}  // namespace

// The sample, SoundFont and MIDI file examples render through the real
// plug-in entry with their files (embedded, or Debian's font) and make sound.
TEST_F(RenderCommand, SampleAndMidiFileExamplesMakeSound) {
  WriteFile(dir_.path() / "chord.mid",
            kr::midifile::WriteMidiFile(
                0, 96, {{{0, {0x90, 60, 100}}, {0, {0x90, 64, 100}}, {192, {0x80, 60, 0}}, {192, {0x80, 64, 0}}}}));
  for (const char* example : {"wave-loop", "midi-file-synth", "recorder", "soundfont-piano"}) {
#if defined(_WIN32)
    // The example names Debian's font by its Linux path.
    if (std::string(example) == "soundfont-piano") continue;
#endif
    if (std::string(example) == "soundfont-piano" && !std::filesystem::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
      continue;  // Debian's timgm6mb-soundfont (./setup.sh deps)
    int status = -1;
    const std::string out = (dir_.path() / (std::string(example) + ".wav")).string();
    const std::string text = krtest::RunCommand(program_ + " render --patch " KR_SOURCE_DIR "/examples/" + example +
                                                    ".json --midi " + (dir_.path() / "chord.mid").string() + " -o " +
                                                    out + " --tail 1",
                                                status);
    ASSERT_EQ(status, 0) << example << "\n" << text;
    EXPECT_EQ(text.find("stayed silent"), std::string::npos) << example << "\n" << text;
    EXPECT_EQ(text.find("Can't"), std::string::npos) << example << "\n" << text;
  }
}
