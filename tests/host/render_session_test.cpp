// The render loop against a small plug-in written here: MIDI lands at exact
// sample offsets whatever the block size, the host calls come in a host's
// order, time information follows the tempo map, and silence ends the tail.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "formats/midifile/midi_file_writer.h"
#include "host/render_session.h"

using namespace kr;

using namespace vst;

namespace {

// --- the click plug-in: channel 0 clicks at every note on (velocity / 127),
// channel 1 rings from each note on, halving every sample ---

struct ClickPlugin {
  AEffect effect{};
  audioMasterCallback master = nullptr;
  std::vector<VstMidiEvent> pending;
  float ring = 0.0f;
  struct Call {
    VstInt32 opcode;
    VstIntPtr value;
    float opt;
  };
  std::vector<Call> calls;
  std::vector<VstTimeInfo> times;
  VstIntPtr rateAnswer = 0;
  int outputs = 2;
};
ClickPlugin click;

VstIntPtr VSTCALLBACK ClickDispatcher(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr value, void* ptr, float opt) {
  click.calls.push_back({opcode, value, opt});
  if (opcode == effProcessEvents) {
    const auto* list = static_cast<const VstEvents*>(ptr);
    auto* const* slots = reinterpret_cast<VstEvent* const*>(reinterpret_cast<const char*>(list) +
                                                            offsetof(VstEvents, events));
    for (VstInt32 i = 0; i < list->numEvents; ++i) click.pending.push_back(*reinterpret_cast<VstMidiEvent*>(slots[i]));
    return 1;
  }
  if (opcode == effMainsChanged && value == 1)
    click.rateAnswer = click.master(e, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
  return 0;
}

void VSTCALLBACK ClickProcess(AEffect* e, float**, float** outputs, VstInt32 frames) {
  if (const auto* t = reinterpret_cast<const VstTimeInfo*>(click.master(e, audioMasterGetTime, 0, 0, nullptr, 0.0f)))
    click.times.push_back(*t);
  std::vector<float> velocityAt(static_cast<std::size_t>(frames), 0.0f);
  for (const VstMidiEvent& m : click.pending) {
    const auto status = static_cast<std::uint8_t>(m.midiData[0]);
    if ((status & 0xF0) == 0x90 && m.midiData[2] > 0 && m.deltaFrames >= 0 && m.deltaFrames < frames)
      velocityAt[static_cast<std::size_t>(m.deltaFrames)] += static_cast<float>(m.midiData[2]) / 127.0f;
  }
  click.pending.clear();
  for (VstInt32 i = 0; i < frames; ++i) {
    const float v = velocityAt[static_cast<std::size_t>(i)];
    if (v > 0.0f) click.ring = 1.0f;
    for (int c = 0; c < click.outputs; ++c) outputs[c][i] = 0.0f;
    if (click.outputs > 0) outputs[0][i] = v;
    if (click.outputs > 1) outputs[1][i] = click.ring;
    click.ring *= 0.5f;
  }
}

AEffect* VSTCALLBACK ClickMain(audioMasterCallback master) {
  const int outputs = click.outputs;
  click = ClickPlugin{};
  click.outputs = outputs;
  click.master = master;
  click.effect.magic = kEffectMagic;
  click.effect.dispatcher = &ClickDispatcher;
  click.effect.processReplacing = &ClickProcess;
  click.effect.numOutputs = outputs;
  click.effect.flags = effFlagsIsSynth | effFlagsCanReplacing;
  return &click.effect;
}

// Keeps everything rendered.
struct CapturedAudio : AudioSink {
  std::vector<std::vector<float>> channels;
  bool Write(std::span<const float* const> in, int frames) override {
    channels.resize(in.size());
    for (std::size_t c = 0; c < in.size(); ++c) channels[c].insert(channels[c].end(), in[c], in[c] + frames);
    return true;
  }
};

RenderOutcome Render(const Score& score, RenderSettings settings, CapturedAudio& audio, int outputs = 2) {
  click.outputs = outputs;
  HostHarness host;
  host.UseEntry(&ClickMain);
  EXPECT_NE(host.CallMain(), nullptr);
  return RenderScore(host, score, settings, audio);
}

Score NotesAt(std::initializer_list<std::int64_t> samples, std::int64_t end) {
  Score score;
  std::uint8_t key = 40;
  for (std::int64_t s : samples) score.events.push_back({s, 0x90, key++, 127});
  score.endSample = end;
  return score;
}

TEST(RenderSession, NotesLandOnTheirSampleWhateverTheBlockSize) {
  const std::vector<std::int64_t> at = {0, 1, 63, 64, 100, 511, 512, 1000, 4095, 4097};
  Score score = NotesAt({0, 1, 63, 64, 100, 511, 512, 1000, 4095, 4097}, 5000);
  std::vector<std::vector<float>> first;
  for (int block : {1, 7, 64, 100, 512, 4096, 8192}) {
    RenderSettings settings;
    settings.blockSize = block;
    settings.tailSeconds = 0.01;
    CapturedAudio audio;
    const RenderOutcome r = Render(score, settings, audio);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.stats.frames, 5441) << block;
    EXPECT_FALSE(r.stats.endedOnSilence);
    ASSERT_EQ(audio.channels.size(), 2u);
    std::vector<std::int64_t> clicks;
    for (std::size_t i = 0; i < audio.channels[0].size(); ++i)
      if (audio.channels[0][i] != 0.0f) clicks.push_back(static_cast<std::int64_t>(i));
    EXPECT_EQ(clicks, at) << "block size " << block;
    if (first.empty())
      first = audio.channels;
    else
      EXPECT_EQ(audio.channels, first) << "block size " << block;
  }
}

TEST(RenderSession, DrivesThePluginLikeAHostWithTimeFromTheTempoMap) {
  // 120 bpm for the first quarter, then 60 bpm.
  const auto bytes = kr::midifile::WriteMidiFile(
      1, 96, {{{0, kr::midifile::TempoEvent(500000)}, {96, kr::midifile::TempoEvent(1000000)}}, {{288, {0x90, 60, 64}}}});
  const auto file = kr::midifile::ReadMidiFile(bytes);
  ASSERT_TRUE(file.file) << file.error;
  const Score score = ScoreFromMidi(*file.file, 48000.0);
  ASSERT_EQ(score.events.size(), 1u);
  EXPECT_EQ(score.events[0].sample, 120000);  // 0.5 s + 2 quarters at 1 s each
  EXPECT_EQ(score.endSample, 120000);

  RenderSettings settings;
  settings.sampleRate = 48000.0;
  settings.blockSize = 24000;
  settings.tailSeconds = 0.0;
  CapturedAudio audio;
  const RenderOutcome r = Render(score, settings, audio);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.stats.frames, 120000);  // the note at the end sample lies beyond the last frame
  EXPECT_EQ(click.rateAnswer, 48000);

  ASSERT_GE(click.calls.size(), 6u);
  EXPECT_EQ(click.calls[0].opcode, effOpen);
  EXPECT_EQ(click.calls[1].opcode, effSetSampleRate);
  EXPECT_EQ(click.calls[1].opt, 48000.0f);
  EXPECT_EQ(click.calls[2].opcode, effSetBlockSize);
  EXPECT_EQ(click.calls[2].value, 24000);
  EXPECT_EQ(click.calls[3].opcode, effMainsChanged);
  EXPECT_EQ(click.calls[3].value, 1);
  EXPECT_EQ(click.calls[click.calls.size() - 2].opcode, effMainsChanged);
  EXPECT_EQ(click.calls[click.calls.size() - 2].value, 0);
  EXPECT_EQ(click.calls.back().opcode, effClose);

  ASSERT_EQ(click.times.size(), 5u);
  const double ppq[] = {0.0, 1.0, 1.5, 2.0, 2.5};
  const double tempo[] = {120.0, 60.0, 60.0, 60.0, 60.0};
  for (std::size_t b = 0; b < 5; ++b) {
    EXPECT_EQ(click.times[b].samplePos, 24000.0 * static_cast<double>(b));
    EXPECT_EQ(click.times[b].sampleRate, 48000.0);
    EXPECT_DOUBLE_EQ(click.times[b].ppqPos, ppq[b]) << b;
    EXPECT_EQ(click.times[b].tempo, tempo[b]) << b;
    EXPECT_EQ(click.times[b].flags & (kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid),
              kVstTransportPlaying | kVstPpqPosValid | kVstTempoValid);
  }
}

TEST(RenderSession, SilenceAfterTheEndStopsTheTail) {
  RenderSettings settings;
  settings.tailSeconds = 2.0;
  settings.silenceSeconds = 0.01;  // 441 frames
  CapturedAudio audio;
  const RenderOutcome r = Render(NotesAt({100}, 200), settings, audio);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_TRUE(r.stats.endedOnSilence);
  EXPECT_EQ(r.stats.frames, 200 + 441);
  EXPECT_EQ(audio.channels[1].size(), 641u);
  EXPECT_EQ(audio.channels[1][100], 1.0f);
  EXPECT_EQ(audio.channels[1][101], 0.5f);
}

TEST(RenderSession, PeakAndMostNotesHeld) {
  Score score;
  score.events = {{0, 0x90, 60, 127}, {10, 0x90, 64, 64}, {11, 0x91, 64, 64}, {20, 0x90, 64, 0},  // velocity 0: off
                  {30, 0x90, 67, 10}, {30, 0x90, 67, 10},  // struck again while down: still one note
                  {40, 0xB0, 123, 0},                     // all notes off on channel 1
                  {50, 0x90, 70, 5}};
  score.endSample = 60;
  RenderSettings settings;
  settings.tailSeconds = 0.0;
  CapturedAudio audio;
  const RenderOutcome r = Render(score, settings, audio);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.stats.mostNotesHeld, 3);
  EXPECT_EQ(r.stats.peak, 1.0f);
  EXPECT_EQ(r.stats.channels, 2);
}

TEST(RenderSession, RefusesPluginsWithoutOutputsOrWithAbsurdlyManyAndClosesThem) {
  CapturedAudio audio;
  RenderOutcome r = Render(NotesAt({0}, 10), RenderSettings{}, audio, 0);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "the plug-in has no audio outputs");
  ASSERT_FALSE(click.calls.empty());
  EXPECT_EQ(click.calls.back().opcode, effClose);
  r = Render(NotesAt({0}, 10), RenderSettings{}, audio, 100000);
  EXPECT_EQ(r.error, "the plug-in declares 100000 outputs; at most 256 can be rendered");
  EXPECT_EQ(click.calls.back().opcode, effClose);
}

TEST(RenderSession, AFailingSinkStopsTheRender) {
  struct Refusing : AudioSink {
    int calls = 0;
    bool Write(std::span<const float* const>, int) override { return ++calls < 3; }
  } sink;
  click.outputs = 2;
  HostHarness host;
  host.UseEntry(&ClickMain);
  ASSERT_NE(host.CallMain(), nullptr);
  RenderSettings settings;
  settings.blockSize = 100;
  const RenderOutcome r = RenderScore(host, NotesAt({0}, 100000), settings, sink);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(sink.calls, 3);
  EXPECT_EQ(r.stats.frames, 200);
  EXPECT_EQ(click.calls.back().opcode, effClose);
}

}  // namespace
