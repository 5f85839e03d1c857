// "Step Sequencer" and "Drum Sequencer": steps on a gate clock at the clock's
// samples (stepping or streaming), and on the host's song position through
// the plug-in's entry: each sixteenth at its sample at 120 and 90 bpm, the
// pattern each program chooses taken up at the next step.
#include <gtest/gtest.h>

#include <cmath>

#include "document/controls.h"
#include "modules/seq/step_sequencer.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"
#include "utility_rig.h"

namespace krtest {
using namespace kr;

namespace {

float NoteVolts(int note) { return (5.0f + static_cast<float>(note - 69) / 12.0f) * 0.1f; }

SequenceStep Note(int note, float velocity = 1.0f, float length = 0.5f) {
  return {SequenceStep::kNote, NoteVolts(note), velocity, length};
}

struct Outputs {
  Tap* gate;
  Tap* pitch;
  Tap* velocity;
};

Outputs TapAll(TestEngine& engine, ug_base& seq) {
  return {TapOn(engine, seq.GetPlug(ug_step_sequencer::PN_GATE_OUT)),
          TapOn(engine, seq.GetPlug(ug_step_sequencer::PN_PITCH_OUT)),
          TapOn(engine, seq.GetPlug(ug_step_sequencer::PN_VELOCITY_OUT))};
}

TEST(StepSequencer, AGateClockStepsOnEachRiseWhetherItStepsOrStreams) {
  SequencePatterns patterns;
  patterns.patterns[0].length = 4;
  patterns.patterns[0].steps = {Note(60), SequenceStep{}, Note(72, 0.5f), SequenceStep{SequenceStep::kTie}};
  // Rises at 100, 300, ... 900, each 50 samples high; a reset at 1000 makes
  // the rise at 1100 the first step again rather than the second.
  for (bool streaming : {false, true}) {
    TestEngine engine(64);
    auto* seq = AddNamedAs<ug_step_sequencer>(engine, "Step Sequencer", 50);
    ASSERT_NE(seq, nullptr);
    if (streaming) {
      StreamInto(engine, seq->GetPlug(ug_step_sequencer::PN_CLOCK),
                 [](int t) { return t >= 100 && (t - 100) % 200 < 50 ? 0.5f : 0.0f; });
    } else {
      std::vector<std::pair<int, float>> steps;
      for (int t = 100; t < 1200; t += 200) steps.insert(steps.end(), {{t, 0.5f}, {t + 50, 0.0f}});
      StepsInto(engine, seq->GetPlug(ug_step_sequencer::PN_CLOCK), steps);
    }
    StepsInto(engine, seq->GetPlug(ug_step_sequencer::PN_RESET), {{1000, 0.5f}, {1010, 0.0f}});
    ApplyInputs(*seq, {{ug_step_sequencer::PN_CLOCK_SOURCE, "1"}});
    seq->ReceivePatterns(patterns);
    const Outputs out = TapAll(engine, *seq);
    engine.Start();
    engine.Render(1200, 64);
    const auto at = [&](const Tap* tap, int t) { return tap->samples[static_cast<std::size_t>(t)]; };
    const char* how = streaming ? "streaming clock" : "stepping clock";
    EXPECT_EQ(at(out.gate, 99), 0.0f) << how;
    EXPECT_EQ(at(out.gate, 100), 0.5f) << how << ": step 1 on the rise's own sample";
    EXPECT_EQ(at(out.pitch, 100), NoteVolts(60)) << how;
    EXPECT_EQ(at(out.velocity, 100), 1.0f) << how;
    EXPECT_EQ(at(out.gate, 149), 0.5f) << how;
    EXPECT_EQ(at(out.gate, 150), 0.0f) << how << ": the gate follows the clock's pulse";
    EXPECT_EQ(at(out.gate, 300), 0.0f) << how << ": a rest";
    EXPECT_EQ(at(out.pitch, 300), NoteVolts(60)) << how << ": a rest keeps the pitch";
    EXPECT_EQ(at(out.gate, 500), 0.5f) << how;
    EXPECT_EQ(at(out.pitch, 500), NoteVolts(72)) << how;
    EXPECT_EQ(at(out.velocity, 500), 0.5f) << how;
    EXPECT_EQ(at(out.gate, 560), 0.5f) << how << ": tied into the next step, the gate stays open";
    EXPECT_EQ(at(out.gate, 700), 0.5f) << how;
    EXPECT_EQ(at(out.pitch, 700), NoteVolts(72)) << how << ": a tie keeps the note";
    EXPECT_EQ(at(out.gate, 750), 0.0f) << how << ": the tie ends with its clock pulse";
    EXPECT_EQ(at(out.gate, 900), 0.5f) << how << ": round to the first step";
    EXPECT_EQ(at(out.gate, 1100), 0.5f) << how << ": after the reset, the first step, not the rest";
    EXPECT_EQ(at(out.pitch, 1100), NoteVolts(60)) << how;
  }
}

TEST(StepSequencer, WithoutHostTimeItStepsAt120BpmFromEngineStart) {
  TestEngine engine(64);
  engine.host.hasTime = false;
  auto* seq = AddNamedAs<ug_step_sequencer>(engine, "Drum Sequencer", 50);
  ASSERT_NE(seq, nullptr);
  ApplyInputs(*seq);
  SequencePatterns patterns;
  patterns.patterns[0].length = 1;
  patterns.patterns[0].steps[0] = Note(36);
  seq->ReceivePatterns(patterns);
  const Outputs out = TapAll(engine, *seq);
  engine.Start();
  engine.Render(11100, 64);
  // A sixteenth at 120 bpm is 5512.5 samples: steps begin at 0, 5513, 11025.
  for (int rise : {0, 5513, 11025}) {
    EXPECT_EQ(out.gate->samples[static_cast<std::size_t>(rise)], 0.5f) << rise;
    if (rise > 0) {
      EXPECT_EQ(out.gate->samples[static_cast<std::size_t>(rise - 1)], 0.0f) << rise;
    }
  }
}

TEST(StepSequencer, OnHostTimeAResetRestartsAtTheNextStepAndAStoppedTransportHolds) {
  TestEngine engine(64);
  auto* seq = AddNamedAs<ug_step_sequencer>(engine, "Step Sequencer", 50);
  ASSERT_NE(seq, nullptr);
  StepsInto(engine, seq->GetPlug(ug_step_sequencer::PN_RESET), {{6000, 0.5f}, {6100, 0.0f}});
  ApplyInputs(*seq);
  SequencePatterns patterns;
  patterns.patterns[0].length = 4;
  patterns.patterns[0].steps = {Note(60), Note(62), Note(64), Note(65)};
  seq->ReceivePatterns(patterns);
  const Outputs out = TapAll(engine, *seq);
  engine.Start();
  // The host plays at 120 bpm, its transport stopped from 12800 to 16000.
  for (int t = 0; t < 20000; t += 64) {
    engine.host.info.tempo = 120.0;
    engine.host.info.ppqPos = t * 120.0 / (60.0 * 44100.0);
    const bool stopped = t >= 12800 && t < 16000;
    engine.host.info.flags = vst::kVstPpqPosValid | vst::kVstTempoValid | (stopped ? 0 : vst::kVstTransportPlaying);
    engine.master.Process(64);
  }
  const auto at = [&](const Tap* tap, int t) { return tap->samples[static_cast<std::size_t>(t)]; };
  EXPECT_EQ(at(out.pitch, 5513), NoteVolts(62));
  EXPECT_EQ(at(out.pitch, 11024), NoteVolts(62)) << "the reset waits for the step to end";
  EXPECT_EQ(at(out.pitch, 11025), NoteVolts(60)) << "and the pattern begins again";
  EXPECT_EQ(at(out.gate, 11025), 0.5f);
  for (int t = 12800; t < 16000; t += 100) EXPECT_EQ(at(out.gate, t), 0.0f) << t << ": the host stopped";
  EXPECT_EQ(at(out.pitch, 16000), NoteVolts(60)) << "playing again where the host stands";
  EXPECT_EQ(at(out.gate, 16000), 0.0f) << "past the step's gate";
  EXPECT_EQ(at(out.pitch, 16538), NoteVolts(62));
  EXPECT_EQ(at(out.gate, 16538), 0.5f);
}

// --- through the plug-in's entry ----------------------------------------------

constexpr int kBlock = 441;  // sub-blocks of 63: time is asked for seven times a block
constexpr double kRate = 44100.0;

// Three outputs (gate, pitch, velocity) from a "Step Sequencer" whose
// patterns and per-program values `fill` sets; "Patch Select" gives 16 programs.
template <class Fill>
std::vector<std::uint8_t> SequencerPatch(Fill fill) {
  SynthPatch patch("KsQ1");
  patch.Add("Patch Select", "Programs");
  auto& seq = dynamic_cast<CStepSeq2&>(patch.Add("Step Sequencer", "Seq"));
  fill(seq);
  for (const char* out : {"Gate Out", "Pitch Out", "Velocity Out"}) patch.Wire(seq, out, patch.AddAudioOut());
  return patch.Write();
}

class SequencerThroughMain : public ::testing::Test {
 protected:
  bool Open(const std::vector<std::uint8_t>& document) {
    const std::string name = "Seq" + std::to_string(++opened_) + std::filesystem::path(KR_PLUGIN_PATH).extension().string();
    if (!LoadExportedPlugin(host, dir.path(), name, document) || host.CallMain() == nullptr) return false;
    host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    host.Dispatch(vst::effSetBlockSize, 0, kBlock);
    host.Dispatch(vst::effMainsChanged, 0, 1);
    host.PrepareBlock(kBlock);
    return true;
  }
  // Blocks with the host's song position at their first sample, playing at
  // `bpm`; the three outputs appended.
  void Play(double bpm, int blocks) {
    for (int b = 0; b < blocks; ++b) {
      vst::VstTimeInfo info{};
      info.samplePos = static_cast<double>(played_);
      info.sampleRate = kRate;
      info.tempo = bpm;
      info.ppqPos = static_cast<double>(played_) * bpm / (60.0 * kRate);
      info.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
      host.SetTimeInfo(info);
      host.RunBlock();
      for (int c = 0; c < 3; ++c) {
        auto o = host.Output(c);
        outputs[c].insert(outputs[c].end(), o.begin(), o.end());
      }
      played_ += kBlock;
    }
  }
  // Samples where the gate opens.
  std::vector<int> Rises() const {
    std::vector<int> rises;
    for (std::size_t i = 0; i < outputs[0].size(); ++i)
      if (outputs[0][i] > 0.0f && (i == 0 || outputs[0][i - 1] <= 0.0f)) rises.push_back(static_cast<int>(i));
    return rises;
  }

  TempDir dir;
  HostHarness host;
  std::vector<float> outputs[3];
  std::int64_t played_ = 0;
  int opened_ = 0;
};

TEST_F(SequencerThroughMain, EachSixteenthStartsAtItsSampleAt120And90Bpm) {
  for (int bpm : {120, 90}) {
    ASSERT_TRUE(Open(SequencerPatch([](CStepSeq2& seq) {
      for (int k = 0; k < 8; ++k) seq.patterns[0].push_back(SequencerStep{{1, 60 + k, 100, 50}});
    })));
    Play(bpm, 16 * 7350 / kBlock + 2);
    // Step k begins on the first sample at or past k sixteenths
    // (661500 / bpm samples each) and its gate closes half a step later.
    const std::vector<int> rises = Rises();
    ASSERT_GE(rises.size(), 16u) << bpm;
    for (std::int64_t k = 0; k < 16; ++k) {
      const auto rise = static_cast<int>((k * 661500 + bpm - 1) / bpm);
      const auto fall = static_cast<int>(((2 * k + 1) * 661500 + 2 * bpm - 1) / (2 * bpm));
      EXPECT_EQ(rises[static_cast<std::size_t>(k)], rise) << bpm << " bpm, step " << k;
      EXPECT_GT(outputs[0][static_cast<std::size_t>(fall - 1)], 0.0f) << bpm << " bpm, step " << k;
      EXPECT_EQ(outputs[0][static_cast<std::size_t>(fall)], 0.0f) << bpm << " bpm, step " << k;
      EXPECT_EQ(outputs[1][static_cast<std::size_t>(rise)], NoteVolts(60 + static_cast<int>(k % 8))) << bpm;
      EXPECT_FLOAT_EQ(outputs[2][static_cast<std::size_t>(rise)], 100.0f / 127.0f) << bpm;
    }
    host.Close();
    for (auto& o : outputs) o.clear();
    played_ = 0;
  }
}

TEST_F(SequencerThroughMain, EachProgramPlaysItsPatternFromTheNextStep) {
  ASSERT_TRUE(Open(SequencerPatch([](CStepSeq2& seq) {
    seq.patterns[0] = std::vector<SequencerStep>(4, SequencerStep{{1, 60, 100, 100}});
    seq.patterns[5] = std::vector<SequencerStep>(4, SequencerStep{{1, 72, 100, 100}});
    seq.numbers.assign(128, 0.0);
    seq.numbers[3] = 5.0;
  })));
  ASSERT_EQ(host.Effect()->numPrograms, 16);
  Play(120, 20);  // 8820 samples: into the second step
  EXPECT_EQ(outputs[1].back(), NoteVolts(60));
  host.Dispatch(vst::effSetProgram, 0, 3);
  Play(120, 10);
  // The second step (5513 .. 11024) plays on; program 3's pattern 5 from the third.
  EXPECT_EQ(outputs[1][11024], NoteVolts(60));
  EXPECT_EQ(outputs[1][11025], NoteVolts(72));
  host.Dispatch(vst::effSetProgram, 0, 0);
  Play(120, 20);
  EXPECT_EQ(outputs[1][16537], NoteVolts(72));
  EXPECT_EQ(outputs[1][16538], NoteVolts(60)) << "program 0: pattern 0 again from the next step";
  host.Close();
}

}  // namespace
}  // namespace krtest
