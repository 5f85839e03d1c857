// The ready instrument, "Kestrune Subtractive", through the exported
// plug-in's `main` as a host loads it: every automatable parameter changes
// the sound between 0.1 and 0.9, shows its value and reads it back; the
// cutoff moves the brightness; the programs sound different.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "patchtext/patch_compiler.h"
#include "programs_support.h"

using namespace kr;

namespace krtest {

using namespace vst;
using krtest::Programs;

constexpr int kBlock = 512;
constexpr int kBlocks = 96;     // 1.1 s at 44.1 kHz
constexpr int kNoteOffBlock = 48;

std::vector<std::uint8_t> Subtractive() {
  const std::filesystem::path examples = std::filesystem::path(KR_SOURCE_DIR) / "examples";
  std::ifstream in(examples / "default-subtractive.json");
  std::stringstream text;
  text << in.rdbuf();
  return patchtext::CompilePatchTextToBytes(text.str(), examples);
}

struct Sound {
  std::vector<float> samples;
  double Rms() const {
    double sum = 0.0;
    for (float x : samples) sum += static_cast<double>(x) * x;
    return std::sqrt(sum / static_cast<double>(samples.size()));
  }
  // The energy of the first difference over the energy: more high partials, more.
  double Brightness() const {
    double d = 0.0, e = 0.0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
      const double step = static_cast<double>(samples[i]) - samples[i - 1];
      d += step * step;
      e += static_cast<double>(samples[i]) * samples[i];
    }
    return e > 0.0 ? d / e : 0.0;
  }
};

// How far apart two sounds are: the difference's level over the louder one's.
double Apart(const Sound& a, const Sound& b) {
  double diff = 0.0;
  for (std::size_t i = 0; i < a.samples.size() && i < b.samples.size(); ++i) {
    const double d = static_cast<double>(a.samples[i]) - b.samples[i];
    diff += d * d;
  }
  const double louder = std::max(a.Rms(), b.Rms());
  return louder > 0.0 ? std::sqrt(diff / static_cast<double>(a.samples.size())) / louder : 0.0;
}

class SubtractiveInstrument : public Programs {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Open(Subtractive()));
    host.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(effSetBlockSize, 0, kBlock);
    host.Dispatch(effMainsChanged, 0, 1);
    host.PrepareBlock(kBlock);
  }
  void TearDown() override { host.Close(); }

  // Middle C at velocity 64, held half a second; the sound in mono.
  Sound PlayNote() {
    Silence();
    Sound s;
    for (int b = 0; b < kBlocks; ++b) {
      const MidiAt on[] = {{0, 0x90, 60, 64}};
      const MidiAt off[] = {{0, 0x80, 60, 0}};
      host.RunBlock(b == 0 ? std::span<const MidiAt>(on) : b == kNoteOffBlock ? std::span<const MidiAt>(off)
                                                                                : std::span<const MidiAt>{});
      for (float x : host.Output(0)) s.samples.push_back(x);
    }
    return s;
  }
  // Lets every voice die away and the controls' ramps end.
  void Silence() {
    const MidiAt allOff[] = {{0, 0xB0, 123, 0}};
    host.RunBlock(allOff);
    for (int b = 0; b < 200; ++b) host.RunBlock();
  }
  std::vector<int> Automatable() {
    std::vector<int> found;
    for (int i = 0; i < host.Effect()->numParams; ++i)
      if (host.Dispatch(effCanBeAutomated, i) != 0) found.push_back(i);
    return found;
  }
  int Index(const std::string& name) {
    for (int i = 0; i < host.Effect()->numParams; ++i)
      if (host.ParameterText(effGetParamName, i) == name) return i;
    ADD_FAILURE() << "no parameter " << name;
    return 0;
  }
};

TEST_F(SubtractiveInstrument, EveryAutomatableParameterIsAudibleShownAndReadBack) {
  const std::vector<int> parameters = Automatable();
  EXPECT_EQ(parameters.size(), 17u) << "two waves, fifteen knobs";
  for (int p : parameters) {
    const std::string name = host.ParameterText(effGetParamName, p);
    host.Dispatch(effSetProgram, 0, 0);
    host.SetParameter(p, 0.1f);
    const std::string lowText = host.ParameterText(effGetParamDisplay, p);
    const float low = host.GetParameter(p);
    const Sound lowSound = PlayNote();
    host.SetParameter(p, 0.9f);
    const std::string highText = host.ParameterText(effGetParamDisplay, p);
    const float high = host.GetParameter(p);
    const Sound highSound = PlayNote();
    EXPECT_GT(Apart(lowSound, highSound), 0.1) << name;
    EXPECT_NE(lowText, highText) << name;
    EXPECT_FALSE(lowText.empty()) << name;
    // Knobs read back what was set; a list of seven reads back its item's
    // position (0 and 1 here).
    EXPECT_NEAR(low, 0.1f, 0.101f) << name;
    EXPECT_NEAR(high, 0.9f, 0.101f) << name;
    host.SetParameter(p, high);
    EXPECT_FLOAT_EQ(host.GetParameter(p), high) << name;
    EXPECT_EQ(host.ParameterText(effGetParamDisplay, p), highText) << name;
  }
}

TEST_F(SubtractiveInstrument, TheCutoffMovesTheBrightness) {
  const int cutoff = Index("Cutoff");
  host.SetParameter(cutoff, 0.1f);
  const double dark = PlayNote().Brightness();
  host.SetParameter(cutoff, 0.9f);
  const double bright = PlayNote().Brightness();
  EXPECT_GT(bright, 4.0 * dark);
}

TEST_F(SubtractiveInstrument, EightNamedProgramsSoundDifferent) {
  ASSERT_GE(host.Effect()->numPrograms, 8);
  std::vector<Sound> sounds;
  std::vector<std::string> names;
  for (int p = 0; p < 8; ++p) {
    host.Dispatch(effSetProgram, 0, p);
    names.push_back(host.TextCall(effGetProgramName));
    sounds.push_back(PlayNote());
    EXPECT_GT(sounds.back().Rms(), 0.01) << names.back();
  }
  EXPECT_EQ(names[0], "Warm Bass");
  for (int a = 0; a < 8; ++a)
    for (int b = a + 1; b < 8; ++b) EXPECT_GT(Apart(sounds[a], sounds[b]), 0.2) << names[a] << " / " << names[b];
}

TEST_F(SubtractiveInstrument, ControllersSeventyFourAndSeventyOneMoveCutoffAndResonance) {
  const MidiAt cc[] = {{0, 0xB0, 74, 127}, {0, 0xB0, 71, 0}};
  host.RunBlock(cc);
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Cutoff")), 1.0f);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Resonance")), 0.0f);
}

}  // namespace krtest
