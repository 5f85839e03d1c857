// Graphs built from documents written by our archive writer, packed into the
// built plug-in, and played by the host harness through the file's `main`.
#include <filesystem>

#include <gtest/gtest.h>

#include "host/host_harness.h"
#include "support/message_capture.h"
#include "support/synth_patch.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;
using kr::packaging::ExportForm;
using krtest::PluginMessageCapture;
using krtest::SynthPatch;
using namespace vst;

constexpr const char* kFeedbackText =
    "This patch contains a FEEDBACK path (highlighed in red), Please remove.\n Synth.Loop -> Synth.Loop";
constexpr const char* kNoteSourcesText =
    "ERROR: You have more than one 'MidiToCv', 'Soundfont Player', or 'Drum Trigger' in same container (or in a "
    "sub-container).";

// Exact in float arithmetic, whatever the order of a sum of a few of them.
float Sample(int channel, int index) { return static_cast<float>((index * 37 + channel * 11) % 200 - 100) / 256.0f; }

// Channel 1 wired straight through, channel 2 through a unity "VCA".
std::vector<std::uint8_t> StereoPassThrough() {
  SynthPatch patch;
  CPlug2& in1 = patch.AddAudioIn();
  patch.Wire(in1, patch.AddAudioOut());
  CPlug2& in2 = patch.AddAudioIn();
  CPlug2& out2 = patch.AddAudioOut();
  CUG& vca = patch.AddUnityVca();
  patch.Wire(in2, vca, "Signal");
  patch.Wire(vca, "Output", out2);
  return patch.Write();
}

class GraphThroughMain : public ::testing::Test {
 protected:
  // Exports the document, loads the file and calls its `main`.
  AEffect* Open(const std::vector<std::uint8_t>& document, ExportForm form = ExportForm::StoredResource) {
    const std::string name = "Patch" + std::to_string(++exports_) + fs::path(KR_PLUGIN_PATH).extension().string();
    if (!krtest::LoadExportedPlugin(host, dir.path(), name, document, form)) return nullptr;
    return host.CallMain();
  }
  void Resume(int blockSize) {
    host.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.Dispatch(effSetBlockSize, 0, blockSize);
    host.Dispatch(effMainsChanged, 0, 1);
    host.PrepareBlock(blockSize);
  }
  void FillInputs(int block, int frames) {
    for (int c = 0; c < host.Effect()->numInputs; ++c)
      for (int i = 0; i < frames; ++i) host.Input(c)[static_cast<std::size_t>(i)] = Sample(c, block * frames + i);
  }
  // Runs blocks of pass-through input and checks every output sample against
  // what `expected` makes of the inputs of that sample.
  template <class Expected>
  void PlayAndCheck(int blockSize, int blocks, Expected expected, ProcessMode mode = ProcessMode::Replacing) {
    for (int block = 0; block < blocks; ++block) {
      FillInputs(block, blockSize);
      std::vector<std::vector<float>> before;
      for (int c = 0; c < host.Effect()->numOutputs; ++c) {
        auto out = host.Output(c);
        for (int i = 0; i < blockSize; ++i)
          out[static_cast<std::size_t>(i)] = mode == ProcessMode::Replacing ? 7.0f : 0.5f * static_cast<float>(i % 3);
        before.emplace_back(out.begin(), out.end());
      }
      host.RunBlock({}, mode);
      for (int c = 0; c < host.Effect()->numOutputs; ++c)
        for (int i = 0; i < blockSize; ++i) {
          const float held = before[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)];
          const float wanted = expected(c, block * blockSize + i) + (mode == ProcessMode::Accumulating ? held : 0.0f);
          ASSERT_EQ(host.Output(c)[static_cast<std::size_t>(i)], wanted)
              << "block size " << blockSize << ", block " << block << ", channel " << c << ", sample " << i;
        }
    }
  }
  // Silence even where the host's buffers held something else.
  void ExpectSilence(int blockSize) {
    FillInputs(0, blockSize);
    for (int c = 0; c < host.Effect()->numOutputs; ++c) std::fill(host.Output(c).begin(), host.Output(c).end(), 0.75f);
    host.RunBlock();
    for (int c = 0; c < host.Effect()->numOutputs; ++c)
      for (float s : host.Output(c)) ASSERT_EQ(s, 0.0f);
  }

  krtest::TempDir dir;
  HostHarness host;
  int exports_ = 0;
};

TEST_F(GraphThroughMain, StereoPassThroughIsSampleExactForEveryBlockSize) {
  AEffect* effect = Open(StereoPassThrough());
  ASSERT_NE(effect, nullptr);
  ASSERT_EQ(effect->numInputs, 2);
  ASSERT_EQ(effect->numOutputs, 2);
  // One instance, suspended and resumed at each host block size.
  for (int blockSize : {1, 63, 64, 441, 512, 4096}) {
    Resume(blockSize);
    PlayAndCheck(blockSize, blockSize < 64 ? 150 : 4, [](int c, int i) { return Sample(c, i); });
    host.Dispatch(effMainsChanged, 0, 0);
  }
  host.Close();
}

// With host blocks of 512 the engine runs sub-blocks of 128: the host
// pointers walk through the block, so the four pieces land in order; the
// accumulating entry adds each piece to what the host had there.
TEST_F(GraphThroughMain, BlocksOf512FillTheOutputInFourPiecesInOrder) {
  ASSERT_NE(Open(StereoPassThrough()), nullptr);
  Resume(512);
  PlayAndCheck(512, 3, [](int c, int i) { return Sample(c, i); });
  host.Dispatch(effMainsChanged, 0, 0);
  Resume(512);  // the first call after resume fixes the mode until the next start
  PlayAndCheck(512, 3, [](int c, int i) { return Sample(c, i); }, ProcessMode::Accumulating);
  host.Close();
}

// Three host inputs through unity VCAs into one VCA "Signal": the second wire
// makes a "Float Adder" in front of it, the third joins that adder.
TEST_F(GraphThroughMain, WiresMeetingAtOneInputAreSummed) {
  SynthPatch patch;
  CPlug2* ins[3];
  for (auto& in : ins) in = &patch.AddAudioIn();
  CPlug2& out = patch.AddAudioOut();
  CUG& sum = patch.AddUnityVca("Sum");
  for (int c = 0; c < 3; ++c) {
    CUG& source = patch.AddUnityVca("Source " + std::to_string(c + 1));
    patch.Wire(*ins[c], source, "Signal");
    patch.Wire(source, "Output", sum, "Signal");
  }
  patch.Wire(sum, "Output", out);
  PluginMessageCapture messages;
  AEffect* effect = Open(patch.Write());
  ASSERT_NE(effect, nullptr);
  ASSERT_EQ(effect->numInputs, 3);
  ASSERT_EQ(effect->numOutputs, 1);
  for (int blockSize : {64, 441}) {
    Resume(blockSize);
    PlayAndCheck(blockSize, 4, [](int, int i) { return Sample(0, i) + Sample(1, i) + Sample(2, i); });
    host.Dispatch(effMainsChanged, 0, 0);
  }
  host.Close();
#if !defined(_WIN32)
  EXPECT_EQ(messages.Finish(), "");
#endif
}

TEST_F(GraphThroughMain, DisabledModuleAndItsWiresVanishWithoutError) {
  SynthPatch patch;
  CPlug2& in1 = patch.AddAudioIn();
  CPlug2& in2 = patch.AddAudioIn();
  CPlug2& out = patch.AddAudioOut();
  CUG& on = patch.AddUnityVca("On");
  CUG& off = patch.AddUnityVca("Off");
  off.SetDisabled(true);
  patch.Wire(in1, on, "Signal");
  patch.Wire(on, "Output", out);
  patch.Wire(in1, off, "Signal");
  patch.Wire(in2, off, "Volume");
  patch.Wire(off, "Output", out);
  PluginMessageCapture messages;
  ASSERT_NE(Open(patch.Write()), nullptr);
  Resume(128);
  PlayAndCheck(128, 4, [](int, int i) { return Sample(0, i); });
  host.Close();
#if !defined(_WIN32)
  EXPECT_EQ(messages.Finish(), "");
#endif
}

// The top container's "MIDI In" wired to its "MIDI Out": what the host sends
// comes back after the block at the same offsets. The shell does nothing else
// with a program change: the host's program stays, nothing is automated; the
// outgoing record carries 0xFF in the byte that one-data-byte messages lack.
TEST_F(GraphThroughMain, MidiInComesBackWithItsOffsetsAndProgramChangeGets0xFF) {
  SynthPatch patch;
  patch.AddAudioOut();
  patch.Wire(patch.AddMidiIn(), patch.AddMidiOut());
  ASSERT_NE(Open(patch.Write()), nullptr);
  Resume(441);  // sub-blocks of 63: the events straddle several
  host.RunBlock();
  host.ClearCalls();
  const MidiAt sent[] = {{0, 0x90, 60, 100},  {10, 0x80, 60, 0},  {62, 0xB1, 7, 90}, {63, 0xC0, 5, 0},
                         {200, 0xD2, 33, 0x40}, {300, 0xE0, 0, 64}, {440, 0x91, 61, 1}};
  host.RunBlock(sent);
  const auto calls = host.CallsWithOpcode(audioMasterProcessEvents);
  ASSERT_EQ(calls.size(), 1u);
  ASSERT_EQ(calls[0].events.size(), std::size(sent));
  for (std::size_t i = 0; i < std::size(sent); ++i) {
    const VstMidiEvent& e = calls[0].events[i];
    const bool oneDataByte = sent[i].status >= 0xC0 && sent[i].status <= 0xDF;
    EXPECT_EQ(e.type, kVstMidiType);
    EXPECT_EQ(e.deltaFrames, sent[i].offset) << i;
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[0]), sent[i].status) << i;
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[1]), sent[i].data1) << i;
    EXPECT_EQ(static_cast<std::uint8_t>(e.midiData[2]), oneDataByte ? 0xFF : sent[i].data2) << i;
  }
  EXPECT_EQ(host.Dispatch(effGetProgram), 0);
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterAutomate).empty());
  host.ClearCalls();
  host.RunBlock();
  EXPECT_TRUE(host.CallsWithOpcode(audioMasterProcessEvents).empty());  // nothing is sent twice
  host.Close();
}

// Offsets from the host are untrusted: one far beyond the block (or negative)
// must not hold up the MIDI that follows.
TEST_F(GraphThroughMain, WildHostOffsetsDoNotHoldUpLaterMidi) {
  SynthPatch patch;
  patch.AddAudioOut();
  patch.Wire(patch.AddMidiIn(), patch.AddMidiOut());
  ASSERT_NE(Open(patch.Write()), nullptr);
  Resume(64);
  host.RunBlock();
  const MidiAt wild[] = {{-5, 0x90, 1, 1}, {64, 0x90, 2, 2}, {1000000, 0x90, 3, 3}, {0x7FFFFFFF, 0x90, 4, 4}};
  host.RunBlock(wild);
  host.ClearCalls();
  const MidiAt later[] = {{7, 0x90, 60, 100}};
  host.RunBlock(later);
  const auto calls = host.CallsWithOpcode(audioMasterProcessEvents);
  ASSERT_EQ(calls.size(), 1u);
  bool found = false;
  for (const VstMidiEvent& e : calls[0].events)
    if (static_cast<std::uint8_t>(e.midiData[1]) == 60) {
      found = true;
      EXPECT_EQ(e.deltaFrames, 7);
    }
  EXPECT_TRUE(found);
  host.Close();
}

// Linux only: the refusal is a message box, which a plug-in file shows as a
// real window on Windows.
TEST_F(GraphThroughMain, SelfFeedbackIsRefusedAndALaterGoodPatchResumes) {
#if defined(_WIN32)
  GTEST_SKIP() << "the plug-in's message box would be a real window";
#else
  SynthPatch bad;
  CPlug2& in = bad.AddAudioIn();
  CPlug2& out = bad.AddAudioOut();
  CUG& loop = bad.AddUnityVca("Loop");
  bad.Wire(in, loop, "Volume");
  bad.Wire(loop, "Output", loop, "Signal");
  bad.Wire(loop, "Output", out);
  // The form with the plain document beside the plug-in: the same loaded file
  // reads it again for every instance.
  PluginMessageCapture messages;
  ASSERT_NE(Open(bad.Write(), ExportForm::DataFileBeside), nullptr);
  Resume(64);
  ExpectSilence(64);
  host.Dispatch(effMainsChanged, 0, 0);
  Resume(64);  // refused again, still without a crash
  ExpectSilence(64);
  host.Close();
  EXPECT_EQ(messages.Finish(), PluginMessageCapture::Line(kFeedbackText) + PluginMessageCapture::Line(kFeedbackText));

  SynthPatch good;
  good.Wire(good.AddAudioIn(), good.AddAudioOut());
  krtest::WriteBytes(dir.path() / "Patch1.dat", good.Write());
  ASSERT_NE(host.CallMain(), nullptr);
  Resume(64);
  PlayAndCheck(64, 3, [](int c, int i) { return Sample(c, i); });
  host.Close();
#endif
}

// Linux only, as above.
TEST_F(GraphThroughMain, NoteSourceUnderAnotherIsRefusedWithTheExactText) {
#if defined(_WIN32)
  GTEST_SKIP() << "the plug-in's message box would be a real window";
#else
  SynthPatch patch;
  patch.AddAudioOut();
  patch.Add("Midi to CV");
  patch.Add("Midi to CV", {}, &patch.AddContainer("Voice"));
  PluginMessageCapture messages;
  ASSERT_NE(Open(patch.Write()), nullptr);
  Resume(64);
  ExpectSilence(64);
  // An accumulating host adds nothing to what it has.
  std::fill(host.Output(0).begin(), host.Output(0).end(), 0.75f);
  host.RunBlock({}, ProcessMode::Accumulating);
  for (float s : host.Output(0)) ASSERT_EQ(s, 0.75f);
  host.Close();
  EXPECT_EQ(messages.Finish(), PluginMessageCapture::Line(kNoteSourcesText));
#endif
}

TEST_F(GraphThroughMain, NoteSourcesInSiblingContainersAreAccepted) {
  SynthPatch patch;
  patch.AddAudioOut();
  patch.Add("Midi to CV", {}, &patch.AddContainer("Voice 1"));
  patch.Add("Midi to CV", {}, &patch.AddContainer("Voice 2"));
  PluginMessageCapture messages;
  ASSERT_NE(Open(patch.Write()), nullptr);
  Resume(64);
  ExpectSilence(64);
  host.Close();
#if !defined(_WIN32)
  EXPECT_EQ(messages.Finish(), "");
#endif
}

}  // namespace
