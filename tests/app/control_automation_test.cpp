// Panel controls through the exported plug-in's `main`: a "Slider" wired to
// an oscillator's pitch (and to the first output, where its voltage reads
// exactly) moves under host automation from either thread, a MIDI
// controller and a program change, at the sample and with the ramp or step
// each path takes; the value lands in the program it was played in. A
// "List Entry" switches the oscillator's wave. A slider that ignores program
// changes keeps one value; one stored with fewer plugs than ours plays.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "document/controls.h"
#include "patchtext/patch_compiler.h"
#include "programs_support.h"
#include "registry/module_registry.h"

using namespace kr;

namespace krtest {

using namespace vst;
using krtest::PlayingPatch;
using krtest::Programs;
using krtest::SentControllersOf;

// "Pitch" spans 2..8 V (programs 5, 6, 4, 7 V) on controller 74; "Wave"
// chooses the oscillator's wave (programs Sine, Saw, Triangle, Pulse) on 71;
// "Fixed" (0..10 V, on the third output) ignores program changes.
std::vector<std::uint8_t> ControlPatch(bool sendAll = false) {
  std::string text = R"({"settings": {"id": "KsCt", "programs": 4}, "root": {"modules": [
    {"module": "Container", "title": "Synth",
     "plugs": [{"name": "Out 1", "direction": "out"}, {"name": "Out 2", "direction": "out"},
               {"name": "Out 3", "direction": "out"},
               {"name": "MIDI In", "direction": "in", "type": "midi"},
               {"name": "MIDI Out", "direction": "out", "type": "midi"}],
     "modules": [
       {"module": "Patch Select", "id": "select"},
       {"module": "MIDI Automator", "id": "auto", "values": {"Send All On Patch Change": "SEND_ALL"}},
       {"module": "Slider", "id": "pitch", "title": "Pitch", "control_values": [5, 6, 4, 7],
        "values": {"Lo Value": "2", "Hi Value": "8", "MIDI Controller ID": "74"}},
       {"module": "List Entry", "id": "wave", "title": "Wave", "control_values": [0, 1, 3, 4],
        "values": {"MIDI Controller ID": "71"}},
       {"module": "Slider", "id": "fixed", "title": "Fixed", "control_values": [1, 2, 3, 4],
        "values": {"Ignore Program Change": "1"}},
       {"module": "Oscillator", "id": "osc"}],
     "wires": [{"from": "io.MIDI In", "to": "auto.MIDI In"}, {"from": "io.MIDI In", "to": "select.MIDI In"},
               {"from": "auto.MIDI Out", "to": "io.MIDI Out"},
               {"from": "pitch.Signal Out", "to": "io.Out 1"}, {"from": "pitch.Signal Out", "to": "osc.Pitch"},
               {"from": "wave.Choice", "to": "osc.Waveform"}, {"from": "osc.Audio Out", "to": "io.Out 2"},
               {"from": "fixed.Signal Out", "to": "io.Out 3"}]}]}})";
  text.replace(text.find("SEND_ALL"), 8, sendAll ? "1" : "0");
  return patchtext::CompilePatchTextToBytes(text, ".");
}

constexpr int kRamp = 44100 / 32;  // 1378 samples

class Controls : public PlayingPatch {
 protected:
  void SetUp() override { Play(ControlPatch()); }
  // An output (the first: the pitch) over n blocks of 64.
  std::vector<float> Run(int blocks, std::span<const MidiAt> midi = {}, int output = 0) {
    std::vector<float> out;
    for (int b = 0; b < blocks; ++b) {
      host.RunBlock(b == 0 ? midi : std::span<const MidiAt>{});
      for (float x : host.Output(output)) out.push_back(x);
    }
    return out;
  }
  bool HostToldAbout(int index) const {
    for (const HostCall& call : host.CallsWithOpcode(audioMasterAutomate))
      if (call.index == index) return true;
    return false;
  }
  // A fresh instance given this one's bank: the pitch it shows in program p.
  float PitchInBankCopy(int program) {
    HostHarness copy;
    EXPECT_TRUE(Open(ControlPatch(), copy));
    SetChunk(copy, GetChunk(false), false);
    copy.Dispatch(effSetProgram, 0, program);
    const float value = copy.GetParameter(Index("Pitch"));
    copy.Close();
    return value;
  }
  // Mean |x| over the peak of the oscillator's output: about 0.64 for a
  // sine, 1 for a pulse.
  float Fullness() {
    float peak = 0.0f, sum = 0.0f;
    int n = 0;
    for (int b = 0; b < 8; ++b) {
      host.RunBlock();
      for (float x : host.Output(1)) {
        peak = std::max(peak, std::fabs(x));
        sum += std::fabs(x);
        ++n;
      }
    }
    return peak > 0.0f ? sum / static_cast<float>(n) / peak : 0.0f;
  }
};

TEST_F(Controls, HostSetsFromTheGuiThreadRampAndSendTheController) {
  const int pitch = Index("Pitch");
  EXPECT_FLOAT_EQ(host.GetParameter(pitch), 0.5f) << "5 V within 2..8";
  host.SetParameter(pitch, 0.75f);  // 2 + 6 x 0.75 = 6.5 V
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, pitch), "6.50");
  const std::vector<float> out = Run(23);
  EXPECT_GT(out[0], 0.5f) << "the move starts with the next block";
  EXPECT_LT(out[kRamp / 2], 0.6f);
  EXPECT_GT(out[kRamp / 2], 0.55f) << "half way along the linear ramp";
  EXPECT_LT(out[kRamp - 10], 0.65f);
  EXPECT_FLOAT_EQ(out[kRamp + 4], 0.65f);
  EXPECT_FLOAT_EQ(host.GetParameter(pitch), 0.75f);
  EXPECT_FALSE(HostToldAbout(pitch)) << "the host's own value is not reported back";
  EXPECT_EQ(SentControllers(), (std::vector<std::pair<int, int>>{{74, 95}})) << "12192 >> 7";
  EXPECT_FLOAT_EQ(PitchInBankCopy(0), 0.75f);
  EXPECT_FLOAT_EQ(PitchInBankCopy(1), 4.0f / 6.0f) << "other programs keep theirs";
}

TEST_F(Controls, HostSetsFromAnotherThreadReachTheStoredProgramWithoutAReport) {
  const int pitch = Index("Pitch");
  std::thread([&] { host.SetParameter(pitch, 0.25f); }).join();  // 3.5 V
  const std::vector<float> out = Run(23);
  EXPECT_GT(out[0], 0.35f);
  EXPECT_LT(out[0], 0.5f) << "ramped, from the start of the next block";
  EXPECT_FLOAT_EQ(out[kRamp + 4], 0.35f);
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(pitch), 0.25f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, pitch), "3.50");
  EXPECT_FALSE(HostToldAbout(pitch));
  EXPECT_FLOAT_EQ(PitchInBankCopy(0), 0.25f);
}

TEST_F(Controls, AControllerMovesTheSliderAtItsSampleAndIsKeptInTheProgram) {
  const int pitch = Index("Pitch");
  const MidiAt cc[] = {{10, 0xB0, 74, 127}};
  const std::vector<float> out = Run(23, cc);
  EXPECT_FLOAT_EQ(out[9], 0.5f);
  EXPECT_GT(out[10], 0.5f) << "the ramp starts at the controller's sample";
  EXPECT_LT(out[10 + kRamp - 10], 0.8f);
  EXPECT_FLOAT_EQ(out[10 + kRamp + 2], 0.8f);
  EXPECT_TRUE(SentControllers().empty()) << "a value from MIDI is not sent out again";
  // Not taken in yet: the chunk call takes it in first.
  EXPECT_FLOAT_EQ(PitchInBankCopy(0), 1.0f);
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(host.GetParameter(pitch), 1.0f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, pitch), "8.00");
  EXPECT_FALSE(HostToldAbout(pitch)) << "changes from the audio side are not reported";
}

TEST_F(Controls, ProgramChangesStepTheSlider) {
  host.Dispatch(effSetProgram, 0, 2);  // 4 V
  std::vector<float> out = Run(1);
  EXPECT_FLOAT_EQ(out[0], 0.4f) << "a step at the start of the next block";
  const MidiAt change[] = {{20, 0xC0, 3, 0}};  // 7 V
  out = Run(1, change);
  EXPECT_FLOAT_EQ(out[19], 0.4f);
  EXPECT_FLOAT_EQ(out[20], 0.7f) << "a MIDI program change steps at its sample";
  host.Dispatch(effIdle);
  EXPECT_EQ(host.Dispatch(effGetProgram), 3);
  EXPECT_FLOAT_EQ(host.GetParameter(Index("Pitch")), 5.0f / 6.0f);
  // A controller now belongs to program 3.
  const MidiAt cc[] = {{0, 0xB0, 74, 0}};
  Run(1, cc);
  host.Dispatch(effIdle);
  EXPECT_FLOAT_EQ(PitchInBankCopy(3), 0.0f);
  EXPECT_FLOAT_EQ(PitchInBankCopy(2), 2.0f / 6.0f);
}

TEST_F(Controls, AListEntrySwitchesTheOscillatorsWaveByHostAndController) {
  const int wave = Index("Wave");
  const float sine = Fullness();  // program 0
  EXPECT_NEAR(sine, 0.637f, 0.03f);
  host.SetParameter(wave, 0.6f);  // item floor(7 x 0.6) = 4, "Pulse"
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, wave), "Pulse");
  const float pulse = Fullness();
  EXPECT_GT(std::fabs(pulse - sine), 0.1f);
  host.SetParameter(wave, 0.0f);
  EXPECT_NEAR(Fullness(), sine, 0.03f);
  const MidiAt cc[] = {{0, 0xB0, 71, 90}};  // 90 x 128 / 16256 = 0.709: item 4
  host.RunBlock(cc);
  EXPECT_NEAR(Fullness(), pulse, 0.03f);
  host.Dispatch(effIdle);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, wave), "Pulse");
}

TEST_F(Controls, SendAllOnPatchChangeSendsEveryControlOneSubBlockAfterTheChange) {
  host.Dispatch(effSetProgram, 0, 1);
  Run(3);
  EXPECT_TRUE(SentControllers().empty()) << "not without the setting";

  HostHarness all;
  ASSERT_TRUE(Open(ControlPatch(true), all));
  Resume(all);
  for (int i = 0; i < 3; ++i) all.RunBlock();
  EXPECT_EQ(SentControllersOf(all).size(), 2u) << "the start sends them too";
  all.ClearCalls();
  all.Dispatch(effSetProgram, 0, 1);  // Pitch 6 V of 2..8, Wave "Saw", the second of seven
  for (int i = 0; i < 3; ++i) all.RunBlock();
  // trunc(f x 16256 + 0.5) >> 7: 2/3 gives 84, 1/6 gives 21.
  EXPECT_EQ(SentControllersOf(all), (std::vector<std::pair<int, int>>{{71, 21}, {74, 84}}));
  all.Close();
}

TEST_F(Controls, AControlThatIgnoresProgramChangesKeepsOneValueAndTakesEditsInEveryProgram) {
  const int fixed = Index("Fixed");
  EXPECT_FLOAT_EQ(host.GetParameter(fixed), 0.1f) << "program 0's 1 V";
  host.Dispatch(effSetProgram, 0, 2);
  EXPECT_FLOAT_EQ(Run(1, {}, 2)[0], 0.1f) << "a program change leaves it";
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, fixed), "1.00") << "and shows what plays";
  host.SetParameter(fixed, 0.6f);  // 6 V
  EXPECT_FLOAT_EQ(Run(23, {}, 2).back(), 0.6f) << "an edit made in another program plays";
  host.Dispatch(effSetProgram, 0, 1);
  EXPECT_FLOAT_EQ(Run(1, {}, 2)[0], 0.6f);
  EXPECT_FLOAT_EQ(host.GetParameter(fixed), 0.6f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, fixed), "6.00");
}

// A "Slider" another program stored with fewer plugs than ours (the six
// control plugs and "Signal Out": no appearance, readout, title or range):
// it plays its value on the output it feeds, and the host moves it over the
// range a slider has by default, 0..10 V.
class StoredControls : public PlayingPatch {};

TEST_F(StoredControls, ASliderStoredWithFewerPlugsPlaysAndMoves) {
  krtest::SynthPatch patch("KsFp");
  CPlug2& out = patch.AddAudioOut();
  auto made = std::make_unique<CControl>(control_classes::kSlider);  // as loading makes it
  made->SetEntry(ModuleRegistry::Get().FindByName("Slider"));
  made->SetTitle("Short");
  for (int i = 0; i < 7; ++i) made->AddPlug(std::make_unique<CPlug2>(i));
  made->numbers = {7.5};
  CUG& slider = *made;
  patch.Top().AddChild(std::move(made));
  patch.Wire(slider, "Signal Out", out);
  Play(patch.Write());
  const int index = Index("Short");
  EXPECT_FLOAT_EQ(host.Output(0)[10], 0.75f) << "its stored 7.5 V";
  EXPECT_FLOAT_EQ(host.GetParameter(index), 0.75f);
  host.SetParameter(index, 0.2f);
  EXPECT_EQ(host.ParameterText(effGetParamDisplay, index), "2.00");
  for (int b = 0; b < 23; ++b) host.RunBlock();
  EXPECT_FLOAT_EQ(host.Output(0)[63], 0.2f);
}

}  // namespace krtest
