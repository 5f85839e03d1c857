// Crafted bad files through the modules that open them: each gives its
// message once and the module stays silent (or, where the file can still be
// played safely, plays without a message); none crashes.
#include <gtest/gtest.h>

#include "formats/midifile/midi_file_writer.h"
#include "formats/wave/wave_reader.h"
#include "modules/midifile/midi_player.h"
#include "modules/sampler/wave_in.h"
#include "modules/soundfont/osc_sf.h"
#include "support/sample_rig.h"

using namespace kr;

using namespace krtest;

namespace {

struct Case {
  const char* what;
  Bytes file;
  const char* message;  // null: plays without a message
};

// Runs the module on the file; the messages and the loudest output sample
// (or, for the MIDI player, the number of channel messages sent).
template <class Module>
std::pair<std::vector<std::string>, float> Open(const Bytes& file, const char* name, int outPlug,
                                               std::map<int, std::string> values) {
  FileEngine engine(64);
  engine.Write(name, file);
  auto* module = engine.root.Add<Module>(10);
  auto* tap = engine.root.Add<krtest::Tap>(1);
  auto* log = engine.root.Add<krtest::Recorder>(2);
  UPlug* out = module->GetPlug(outPlug);
  if (out->type == DT_MIDI) {
    Connect(out, log->GetPlug(2));
  } else {
    Connect(out, tap->GetPlug(0));
  }
  krtest::ApplyInputs(*module, values);
  engine.Start();
  engine.Render(8192);
  float loudest = 0.0f;
  for (float v : tap->samples) loudest = std::max(loudest, std::abs(v));
  for (const auto& e : log->log) loudest += e.what == 'e' && e.a == UET_MIDI && (e.b & 0xF0) < 0xF0 ? 1.0f : 0.0f;
  return {engine.host.boxes, loudest};
}

void Check(const Case& c, const std::pair<std::vector<std::string>, float>& got) {
  if (c.message == nullptr) {
    EXPECT_TRUE(got.first.empty()) << c.what << ": " << (got.first.empty() ? "" : got.first[0]);
    EXPECT_GT(got.second, 0.0f) << c.what << " plays";
    return;
  }
  ASSERT_EQ(got.first.size(), 1u) << c.what;
  EXPECT_NE(got.first[0].find(c.message), std::string::npos) << c.what << ": " << got.first[0];
  EXPECT_EQ(got.second, 0.0f) << c.what << " is silent";
}

Bytes Patch(Bytes b, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t x : bytes) b.at(at++) = x;
  return b;
}

}  // namespace

TEST(BadFiles, WaveFiles) {
  WaveSpec w;
  w.data = Pcm16({9000, -9000, 9000, -9000, 9000, -9000});
  const Bytes good = MakeWave(w);
  Bytes truncated = good;
  truncated.resize(good.size() - 5);
  WaveSpec oneFrameLoop = w;
  oneFrameLoop.loop = true;
  oneFrameLoop.loopStart = oneFrameLoop.loopLast = 2;
  WaveSpec reversed = oneFrameLoop;
  reversed.loopStart = 4;
  reversed.loopLast = 1;
  const std::vector<Case> cases = {
      {"truncated", truncated, kr::wave::kInvalidMessage},
      {"data size past the file", Patch(good, 40, {0xFF, 0xFF, 0xFF, 0x7F}), kr::wave::kInvalidMessage},
      {"RIFF size past the file", Patch(good, 4, {0xFF, 0xFF, 0xFF, 0xFF}), kr::wave::kInvalidMessage},
      {"zero channels", Patch(good, 22, {0, 0}), kr::wave::kInvalidMessage},
      {"65535 channels", Patch(good, 22, {0xFF, 0xFF}), kr::wave::kMultichannelMessage},
      {"24 bits", Patch(good, 34, {24, 0}), kr::wave::kWidthMessage},
      {"not a RIFF file", Bytes(100, 'x'), kr::wave::kInvalidMessage},
      {"a one-frame loop", MakeWave(oneFrameLoop), nullptr},
      {"a reversed loop", MakeWave(reversed), nullptr},
  };
  for (const Case& c : cases)
    Check(c, Open<ug_wave_player>(c.file, "bad.wav", ug_wave_in::PN_LEFT, {{ug_wave_in::PN_FILE, "bad"}}));
}

TEST(BadFiles, SoundFonts) {
  FontSpec f = RampFont(100, 10, 50);
  f.instrumentGens = {{54, 1}};
  const Bytes good = MakeFont(f);
  const auto at = [&](const char* id) {
    for (std::size_t i = 12; i + 4 < good.size(); ++i)
      if (std::memcmp(good.data() + i, id, 4) == 0) return i;
    return std::size_t{0};
  };
  Bytes truncated = good;
  truncated.resize(good.size() / 2);
  FontSpec zeroLoop = f;
  zeroLoop.loopStart = zeroLoop.loopEnd = 30;
  FontSpec compressed = f;
  compressed.sampleType = 0x11;
  FontSpec hugeCoarse = f;
  hugeCoarse.instrumentGens = {{54, 1}, {51, 0x7FFF}, {4, 0x7FFF}};  // 32767 semitones up; start far away
  FontSpec hugePitch = f;
  hugePitch.instrumentGens = {{54, 1}, {51, 120}};  // ten octaves up: the step is capped
  const std::vector<Case> cases = {
      {"truncated", truncated, "the file holds only"},
      {"a bag index past its table", Patch(good, at("phdr") + 8 + 38 + 24, {0x60, 0xEA}), "names bags 0 to 60000"},
      {"a generator count past its table", Patch(good, at("ibag") + 8 + 4, {0xFF, 0xFF}), "names generators 0 to 65535"},
      {"a chunk size past its list", Patch(good, at("shdr") + 4, {0xFF, 0xFF, 0, 0}), "declares 65535 bytes"},
      {"compressed samples", MakeFont(compressed), kr::sf2::kCompressedMessage},
      {"a zero-length loop", MakeFont(zeroLoop), nullptr},
      {"a sample start past the data", MakeFont(hugeCoarse), nullptr},
      {"a step past the cap", MakeFont(hugePitch), nullptr},
  };
  for (const Case& c : cases) {
    const auto got = Open<ug_osc_sf>(c.file, "bad.sf2", ug_osc_sf::PN_LEFT,
                                    {{ug_osc_sf::PN_FILE, "bad.sf2"}, {ug_osc_sf::PN_GATE, "10"}, {ug_osc_sf::PN_PITCH, "4.25"}});
    if (std::string(c.what) == "a sample start past the data") {
      EXPECT_TRUE(got.first.empty()) << c.what;
      EXPECT_EQ(got.second, 0.0f) << "the zone's sample cannot play: silence";
      continue;
    }
    Check(c, got);
  }
}

TEST(BadFiles, MidiFiles) {
  const Bytes good = kr::midifile::WriteMidiFile(0, 96, {{{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}}});
  Bytes truncated = good;
  truncated.resize(good.size() - 6);
  const Bytes tempoZero =
      kr::midifile::WriteMidiFile(0, 96, {{{0, {0xFF, 0x51, 0x03, 0, 0, 0}}, {0, {0x90, 60, 100}}}});
  const Bytes shortTempo = kr::midifile::WriteMidiFile(0, 96, {{{0, {0xFF, 0x51, 0x01, 7}}, {0, {0x90, 60, 100}}}});
  const std::vector<Case> cases = {
      {"truncated", truncated, "declares"},
      {"division 0", Patch(good, 12, {0, 0}), "the division is 0"},
      {"65535 tracks", Patch(good, 8, {0, 1, 0xFF, 0xFF}), "the header declares 65535 tracks"},
      {"a track size past the file", Patch(good, 18, {0x7F, 0xFF, 0xFF, 0xFF}), "declares 2147483647 bytes"},
      {"not a MIDI file", Bytes(40, 'x'), "This is NOT a Standard MIDI File"},
      {"a tempo of 0", tempoZero, "sets a tempo of 0 microseconds"},
      {"a set-tempo of one byte", shortTempo, nullptr},
  };
  for (const Case& c : cases)
    Check(c, Open<ug_midi_player>(c.file, "bad.mid", ug_midi_player::PN_OUT, {{ug_midi_player::PN_FILE, "bad"}}));
}
