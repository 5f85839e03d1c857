// Voices as a host hears them, through the exported plug-in's `main`: a voice
// struck again lets its envelope fall in 15 samples, and a second note source
// in one container stops the engine with its message.
#include <filesystem>

#include <gtest/gtest.h>

#include "document/controls.h"
#include "host/host_harness.h"
#include "support/message_capture.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace vst;

constexpr int kBlock = 64;

// MIDI -> "Midi to CV" -> "ADSR" (defaults) -> the host's first output.
std::vector<std::uint8_t> EnvelopeVoice(int polyphony, bool secondNoteSource = false) {
  krtest::SynthPatch patch;
  CPlug2& midi = patch.AddMidiIn();
  CPlug2& out = patch.AddAudioOut();
  patch.Set(patch.Top(), "Polyphony", std::to_string(polyphony));
  CUG& cv = patch.Add("Midi to CV", "CV");
  CUG& adsr = patch.Add("ADSR", "Env");
  patch.Wire(midi, cv, "MIDI In");
  patch.Wire(cv, "Gate", adsr, "Gate");
  patch.Wire(adsr, "Signal Out", out);
  if (secondNoteSource) patch.Wire(midi, patch.Add("Midi to CV", "CV 2"), "MIDI In");
  return patch.Write();
}

class VoicesThroughMain : public ::testing::Test {
 protected:
  bool Open(const std::vector<std::uint8_t>& document) {
    const std::string name = "Voices" + std::filesystem::path(KR_PLUGIN_PATH).extension().string();
    if (!krtest::LoadExportedPlugin(host, dir.path(), name, document)) return false;
    if (host.CallMain() == nullptr) return false;
    host.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(effSetBlockSize, 0, kBlock);
    host.Dispatch(effMainsChanged, 0, 1);
    host.PrepareBlock(kBlock);
    return true;
  }
  // Runs blocks, keeping the first output.
  std::vector<float> Play(int blocks, std::span<const MidiAt> first = {}) {
    std::vector<float> heard;
    for (int b = 0; b < blocks; ++b) {
      host.RunBlock(b == 0 ? first : std::span<const MidiAt>{});
      heard.insert(heard.end(), host.Output(0).begin(), host.Output(0).end());
    }
    return heard;
  }

  krtest::TempDir dir;
  HostHarness host;
};

TEST_F(VoicesThroughMain, AVoiceStruckAgainFallsToZeroIn15Samples) {
  ASSERT_TRUE(Open(EnvelopeVoice(2)));
  const MidiAt note[] = {{0, 0x90, 60, 100}};
  const std::vector<float> held = Play(120, note);  // attack, decay, then the sustain level
  ASSERT_NEAR(held.back(), 0.7f, 1e-3f);
  // The same key again: the sounding voice is struck again, a second voice
  // takes the new note and starts its attack from 0.
  const std::vector<float> again = Play(1, note);
  EXPECT_LT(again[16], 0.05f) << "the old voice has fallen to 0; only the new attack sounds";
  EXPECT_GT(again[6], again[16]) << "falling during its 15 samples";
  host.Close();
}

// "Multistage Env" plays the shape its panel control stores, not a built-in one.
TEST_F(VoicesThroughMain, MultistageEnvPlaysTheStoredShape) {
  krtest::SynthPatch patch;
  CPlug2& midi = patch.AddMidiIn();
  CPlug2& out = patch.AddAudioOut();
  CUG& cv = patch.Add("Midi to CV", "CV");
  CUG& env = patch.Add("Multistage Env", "Env");
  auto* control = dynamic_cast<CControl*>(&env);
  ASSERT_NE(control, nullptr) << "stored as its panel control";
  control->text = "(0.001,0.3)S(0.002,0.3)(0.1,0.0)";  // up to 3 V, held there
  patch.Wire(midi, cv, "MIDI In");
  patch.Wire(cv, "Gate", env, "Gate");
  patch.Wire(env, "Signal Out", out);
  ASSERT_TRUE(Open(patch.Write()));
  const MidiAt note[] = {{0, 0x90, 60, 100}};
  const std::vector<float> heard = Play(20, note);
  EXPECT_NEAR(heard.back(), 0.3f, 1e-4f) << "the default shape would sustain at 0.8";
  host.Close();
}

#if !defined(_WIN32)  // the plug-in's message box is a real window on Windows
TEST_F(VoicesThroughMain, ASecondNoteSourceInOneContainerStopsTheEngine) {
  krtest::PluginMessageCapture messages;
  ASSERT_TRUE(Open(EnvelopeVoice(4, true)));
  const MidiAt note[] = {{0, 0x90, 60, 100}};
  for (float& s : host.Output(0)) s = 0.5f;
  const std::vector<float> heard = Play(20, note);
  for (float s : heard) ASSERT_EQ(s, 0.0f);
  host.Dispatch(effIdle);
  host.Close();
  EXPECT_EQ(messages.Finish(),
            krtest::PluginMessageCapture::Line("CV : You have several 'MidiToCv', 'Soundfont Player', or 'Drum "
                                               "Trigger' modules together. Put each in it's own container."));
}
#endif

}  // namespace
