// The RIFF, WAVE and SoundFont readers on hand-made and Debian files.
#include <gtest/gtest.h>

#include <array>

#include "formats/riff/riff_reader.h"
#include "formats/soundfont/soundfont.h"
#include "formats/wave/wave_reader.h"
#include "formats/wave/wave_writer.h"
#include "support/sample_rig.h"

using namespace kr;

using namespace krtest;
using kr::riff::MakeFourCC;

namespace {
const std::array<kr::riff::ChunkRow, 2> kRows{{{"a", MakeFourCC("TEST"), MakeFourCC("abcd"), 1},
                                               {"b", MakeFourCC("deep"), MakeFourCC("efgh"), 2}}};
}  // namespace

TEST(Riff, FindsChunksInTheirListsAndStepsOverPadBytes) {
  const Bytes file = Riff("TEST", {Chunk("odd ", {1, 2, 3}), Chunk("abcd", {7, 8, 9, 10, 11}),
                                   List("deep", {Chunk("efgh", {1, 2, 3, 4, 5, 6})}), Chunk("efgh", {9, 9})});
  const auto r = kr::riff::ReadRiff(file, kRows);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.formType, MakeFourCC("TEST"));
  ASSERT_TRUE(r.chunks[0].found);
  EXPECT_EQ(file[r.chunks[0].offset], 7) << "after the odd chunk's pad byte";
  EXPECT_EQ(r.chunks[0].size, 5u);
  ASSERT_TRUE(r.chunks[1].found) << "only the efgh inside LIST deep matches";
  EXPECT_EQ(r.chunks[1].size, 6u);
  EXPECT_EQ(r.chunks[1].count, 3u);
}

TEST(Riff, RefusesSizesPastTheirParentDeepNestingAndTruncation) {
  Bytes inner = Riff("TEST", {List("deep", {Chunk("efgh", {1, 2, 3, 4})})});
  inner[24 + 4] = 200;  // efgh claims more than its LIST holds
  auto r = kr::riff::ReadRiff(inner, kRows);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("\"efgh\""), std::string::npos) << r.error;

  Bytes truncated = Riff("TEST", {Chunk("abcd", Bytes(100, 1))});
  truncated.resize(60);
  r = kr::riff::ReadRiff(truncated, kRows);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("the file holds only 52"), std::string::npos) << r.error;

  Bytes nested = Chunk("abcd", {1});
  for (int i = 0; i < 12; ++i) nested = List("deep", {nested});
  r = kr::riff::ReadRiff(Riff("TEST", {nested}), kRows);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("nest more than 8"), std::string::npos);

  EXPECT_FALSE(kr::riff::ReadRiff(Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0}, kRows).ok);
  // An odd chunk may lack its pad byte at the end of its parent, and where
  // the next chunk follows at once (as in MuseScore's font).
  Bytes noPad = Riff("TEST", {Chunk("abcd", {1, 2, 3})});
  noPad.pop_back();
  noPad[4] = static_cast<std::uint8_t>(noPad.size() - 8);
  EXPECT_TRUE(kr::riff::ReadRiff(noPad, kRows).ok);
  Bytes odd = Chunk("odd ", {1, 2, 3});
  odd.pop_back();
  const auto r2 = kr::riff::ReadRiff(Riff("TEST", {odd, Chunk("abcd", {5, 6})}), kRows);
  ASSERT_TRUE(r2.ok) << r2.error;
  EXPECT_EQ(r2.chunks[0].size, 2u);
}

TEST(WaveReader, ReadsTheFormatsItPlaysAndTheSmplLoopWithItsLastFramePlayed) {
  WaveSpec w;
  w.channels = 2;
  w.data = Pcm16({1, 2, 3, 4, 5, 6, 7, 8, 9});  // four whole frames and a stray sample
  w.loop = true;
  w.loopStart = 1;
  w.loopLast = 2;
  auto r = kr::wave::ReadWave(MakeWave(w));
  ASSERT_TRUE(r.info) << r.detail;
  EXPECT_EQ(r.info->frames, 4u);
  EXPECT_TRUE(r.info->hasLoop);
  EXPECT_EQ(r.info->loopStart, 1u);
  EXPECT_EQ(r.info->loopEnd, 3u) << "the file's loop end is the last frame played: one past it is exclusive";

  w.loopStart = 3;
  w.loopLast = 2;  // reversed
  EXPECT_FALSE(kr::wave::ReadWave(MakeWave(w)).info->hasLoop);
  w.loopStart = 0;
  w.loopLast = 4;  // past the data
  EXPECT_FALSE(kr::wave::ReadWave(MakeWave(w)).info->hasLoop);
  w.loopLast = 0xFFFFFFFF;  // negative as the file's signed field
  EXPECT_FALSE(kr::wave::ReadWave(MakeWave(w)).info->hasLoop);

  WaveSpec f;
  f.tag = 3;
  f.bits = 32;
  f.data = Bytes(12, 0);
  r = kr::wave::ReadWave(MakeWave(f));
  ASSERT_TRUE(r.info);
  EXPECT_EQ(r.info->formatTag, kr::wave::kFormatFloat);
  EXPECT_EQ(r.info->frames, 3u);
}

// Every damaged or unsupported file gets the message a user is shown.
TEST(WaveReader, BadFilesGetTheirMessages) {
  WaveSpec ok;
  ok.data = Pcm16({1, 2, 3});
  const auto with = [&](auto change) {
    WaveSpec w = ok;
    change(w);
    return MakeWave(w);
  };
  Bytes shortFmt = Riff("WAVE", {Chunk("fmt ", Bytes(12, 0)), Chunk("data", ok.data)});
  Bytes shortSmpl = Riff("WAVE", {Chunk("fmt ", Fmt(ok)), Chunk("data", ok.data), Chunk("smpl", Bytes(30, 0))});
  Bytes oneLoopCut = Smpl(0, 1);
  oneLoopCut.resize(50);
  Bytes cutLoop = Riff("WAVE", {Chunk("fmt ", Fmt(ok)), Chunk("data", ok.data), Chunk("smpl", oneLoopCut)});
  Bytes pastEnd = MakeWave(ok);
  pastEnd[40] = 0xF0;  // the data chunk claims more than the file
  const std::vector<std::pair<Bytes, const char*>> cases = {
      {with([](WaveSpec& w) { w.channels = 6; }), kr::wave::kMultichannelMessage},
      {with([](WaveSpec& w) { w.bits = 24; }), kr::wave::kWidthMessage},
      {with([](WaveSpec& w) { w.bits = 12; }), kr::wave::kWidthMessage},
      {with([](WaveSpec& w) { w.tag = 3; w.bits = 64; }), kr::wave::kWidthMessage},
      {with([](WaveSpec& w) { w.tag = 3; w.bits = 16; }), kr::wave::kWidthMessage},
      {with([](WaveSpec& w) { w.tag = 2; }), kr::wave::kTagMessage},
      {with([](WaveSpec& w) { w.channels = 0; }), kr::wave::kInvalidMessage},
      {with([](WaveSpec& w) { w.data.clear(); }), kr::wave::kInvalidMessage},
      {with([](WaveSpec& w) { w.rate = 0; }), kr::wave::kInvalidMessage},
      {Riff("AVI ", {Chunk("fmt ", Fmt(ok))}), kr::wave::kInvalidMessage},
      {Riff("WAVE", {Chunk("data", ok.data)}), kr::wave::kInvalidMessage},
      {shortFmt, kr::wave::kInvalidMessage},
      {shortSmpl, kr::wave::kInvalidMessage},
      {cutLoop, kr::wave::kInvalidMessage},
      {pastEnd, kr::wave::kInvalidMessage},
      {Bytes(), kr::wave::kInvalidMessage},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto r = kr::wave::ReadWave(cases[i].first);
    EXPECT_FALSE(r.info) << "case " << i;
    EXPECT_EQ(r.message, cases[i].second) << "case " << i << ": " << r.detail;
  }
}

TEST(WaveReader, ReadsTheAlsaUtilsFiles) {
  const std::filesystem::path dir = "/usr/share/sounds/alsa";
  REQUIRE_FILE(dir / "Front_Center.wav");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const Bytes bytes = ReadFile(entry.path());
    const auto r = kr::wave::ReadWave(bytes);
    ASSERT_TRUE(r.info) << entry.path() << ": " << r.detail;
    EXPECT_EQ(r.info->sampleRate, 48000u);
    EXPECT_EQ(r.info->bits, 16);
    EXPECT_GT(r.info->frames, 30000u);
    ++files;
  }
  EXPECT_GE(files, 9);
}

TEST(WaveWriter, HeaderMatchesTheFormat) {
  const auto h = kr::wave::MakeHeader(false, 1, 44100, 200);
  const auto r = kr::wave::ReadWave(Bytes([&] {
    Bytes b(h.begin(), h.end());
    b.resize(b.size() + 200, 0);
    return b;
  }()));
  ASSERT_TRUE(r.info);
  EXPECT_EQ(r.info->frames, 100u);
  EXPECT_EQ(kr::riff::U32(h, 28), 88200u) << "byte rate";
  EXPECT_EQ(kr::riff::U16(h, 32), 2u) << "block align";
  const auto f = kr::wave::MakeHeader(true, 2, 44100, 0);
  EXPECT_EQ(kr::riff::U16(f, 20), 3u);
  EXPECT_EQ(kr::riff::U16(f, 32), 8u);
}

TEST(SoundFontReader, BuildsZonesFromPresetAndInstrumentGenerators) {
  FontSpec f = RampFont(100, 10, 50);
  f.instrumentGens = {{43, 48 | 64 << 8}, {54, 1}};  // key range 48-64, loop
  f.presetGens = {{43, 60 | 72 << 8}};
  const auto r = kr::sf2::ReadSoundFont(MakeFont(f));
  ASSERT_TRUE(r.font) << r.error;
  const kr::sf2::Preset* p = r.font->Find(0, 0);
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->zones.size(), 1u);
  const kr::sf2::Zone& z = p->zones[0];
  EXPECT_EQ(z.KeyLow(), 60);
  EXPECT_EQ(z.KeyHigh(), 64) << "preset 60-72 over instrument 48-64";
  EXPECT_EQ(z.playback.loopMode, 1);
  EXPECT_EQ(z.playback.loopStart, 10);
  EXPECT_EQ(z.playback.loopEnd, 50);
  EXPECT_EQ(kr::sf2::SoundFont::FindZone(*p, 59, 100), nullptr);
  EXPECT_EQ(kr::sf2::SoundFont::FindZone(*p, 62, 100), &z);
  EXPECT_EQ(r.font->Samples()[-1], 0) << "guard samples before the data";
  EXPECT_EQ(r.font->Samples()[0], 100);
}

TEST(SoundFontReader, UnusableLoopsPlayThroughAndBadAddressesMakeTheZoneSilent) {
  FontSpec reversed = RampFont(100, 60, 20);
  reversed.instrumentGens = {{54, 1}};
  auto r = kr::sf2::ReadSoundFont(MakeFont(reversed));
  ASSERT_TRUE(r.font);
  EXPECT_EQ(r.font->Presets()[0].zones[0].playback.loopMode, 0);
  FontSpec empty = RampFont(100, 30, 30);
  empty.instrumentGens = {{54, 3}};
  EXPECT_EQ(kr::sf2::ReadSoundFont(MakeFont(empty)).font->Presets()[0].zones[0].playback.loopMode, 0);
  FontSpec outside = RampFont(100, 10, 5000);
  outside.instrumentGens = {{54, 1}};
  EXPECT_EQ(kr::sf2::ReadSoundFont(MakeFont(outside)).font->Presets()[0].zones[0].playback.loopEnd, 100)
      << "a loop end past the sample is cut to its end";
  FontSpec past = RampFont(100, 10, 50);
  past.end = 500;
  EXPECT_FALSE(kr::sf2::ReadSoundFont(MakeFont(past)).font->Presets()[0].zones[0].playback.playable);
  FontSpec rom = RampFont(100, 10, 50);
  rom.sampleType = 0x8001;
  EXPECT_FALSE(kr::sf2::ReadSoundFont(MakeFont(rom)).font->Presets()[0].zones[0].playback.playable);
}

TEST(SoundFontReader, BadFontsAreRefusedWithTheirReason) {
  const Bytes good = MakeFont(RampFont(100, 10, 50));
  ASSERT_TRUE(kr::sf2::ReadSoundFont(good).font);
  const auto find = [&](const char* id) {
    for (std::size_t i = 12; i + 4 < good.size(); ++i)
      if (std::memcmp(good.data() + i, id, 4) == 0) return i;
    return std::size_t{0};
  };
  const auto patched = [&](const char* id, int at, std::uint8_t value) {
    Bytes b = good;
    b[static_cast<std::size_t>(static_cast<int>(find(id)) + 8 + at)] = value;
    return b;
  };
  FontSpec compressed = RampFont(100, 10, 50);
  compressed.sampleType = 0x11;
  Bytes truncated = good;
  truncated.resize(good.size() - 30);
  Bytes wrongForm = good;
  wrongForm[8] = 'X';
  const std::vector<std::pair<Bytes, std::string>> cases = {
      {patched("igen", 2, 9), "names sample 9 of 1"},
      {patched("pgen", 2, 7), "names instrument 7 of 1"},
      {patched("phdr", 24, 5), "preset 0 names bags 5 to 1"},
      {patched("ibag", 4, 9), "instrument bag 0 names generators 0 to 9"},
      {patched("pbag", 0, 3), "preset bag 0 names generators 3 to"},
      {Riff("sfbk", {List("sdta", {Chunk("smpl", Bytes(4, 0))}),
                     List("pdta", {Chunk("phdr", Bytes(76, 0)), Chunk("pbag", Bytes(6, 0)), Chunk("pgen", Bytes(8, 0)),
                                   Chunk("inst", Bytes(44, 0)), Chunk("ibag", Bytes(8, 0)), Chunk("igen", Bytes(8, 0)),
                                   Chunk("shdr", Bytes(92, 0))})}),
       "the \"pbag\" chunk is not a whole number of records"},
      {MakeFont(compressed), kr::sf2::kCompressedMessage},
      {truncated, "the file holds only"},
      {wrongForm, "not \"sfbk\""},
      {Riff("sfbk", {List("pdta", {})}), "no \"smpl\" chunk"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto r = kr::sf2::ReadSoundFont(cases[i].first);
    EXPECT_FALSE(r.font) << "case " << i;
    EXPECT_NE(r.error.find(cases[i].second), std::string::npos) << "case " << i << ": " << r.error;
  }
}

TEST(SoundFontReader, ReadsTheDebianFontsAndRefusesTheCompressedOne) {
  const std::filesystem::path tim = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  const std::filesystem::path lite = "/usr/share/sounds/sf3/MuseScore_General_Lite.sf3";
  REQUIRE_FILE(tim);
  REQUIRE_FILE(BasicSf2());
  REQUIRE_FILE(lite);
  const auto timgm = kr::sf2::ReadSoundFont(ReadFile(tim));
  ASSERT_TRUE(timgm.font) << timgm.error;
  EXPECT_NE(timgm.font->Find(0, 0), nullptr) << "a piano on bank 0, program 0";
  EXPECT_NE(timgm.font->Find(128, 0), nullptr) << "drums on bank 128";
  std::size_t zones = 0;
  for (const auto& p : timgm.font->Presets()) zones += p.zones.size();
  EXPECT_GT(zones, 300u);
  const auto basic = kr::sf2::ReadSoundFont(ReadFile(BasicSf2()));
  ASSERT_TRUE(basic.font) << basic.error;
  EXPECT_FALSE(basic.font->Presets().empty());
  const auto sf3 = kr::sf2::ReadSoundFont(ReadFile(lite));
  EXPECT_FALSE(sf3.font);
  EXPECT_EQ(sf3.error, kr::sf2::kCompressedMessage);
}
