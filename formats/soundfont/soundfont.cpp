#include "formats/soundfont/soundfont.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "formats/riff/riff_reader.h"

namespace kr::sf2 {

namespace {

using riff::MakeFourCC;
using riff::U16;
using riff::U32;

enum Row { kSmpl, kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr, kRowCount };

constexpr riff::FourCC kSdta = MakeFourCC("sdta");
constexpr riff::FourCC kPdta = MakeFourCC("pdta");
constexpr std::array<riff::ChunkRow, kRowCount> kRows{{
    {"Sample Data", kSdta, MakeFourCC("smpl"), 2},
    {"Preset Headers", kPdta, MakeFourCC("phdr"), 38},
    {"Preset Bag Headers", kPdta, MakeFourCC("pbag"), 4},
    {"Preset Layer Modulators", kPdta, MakeFourCC("pmod"), 10},
    {"Preset Layers", kPdta, MakeFourCC("pgen"), 4},
    {"Instruments", kPdta, MakeFourCC("inst"), 22},
    {"Inst Splits", kPdta, MakeFourCC("ibag"), 4},
    {"Inst Split Modulators", kPdta, MakeFourCC("imod"), 10},
    {"Inst Split Split Gens", kPdta, MakeFourCC("igen"), 4},
    {"Sample Headers", kPdta, MakeFourCC("shdr"), 46},
}};

struct Table {
  std::span<const std::uint8_t> bytes;
  std::size_t count = 0;
  std::size_t recordSize = 1;
  std::span<const std::uint8_t> Record(std::size_t i) const { return bytes.subspan(i * recordSize, recordSize); }
};

struct SampleHeader {
  std::uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0, sampleRate = 0;
  std::uint8_t originalPitch = 60;
  std::int8_t pitchCorrection = 0;
  std::uint16_t link = 0;
  std::uint16_t type = 0;
};

struct Failure {
  std::string text;
};

}  // namespace

struct Builder {
  std::span<const std::uint8_t> bytes;
  std::array<Table, kRowCount> t;
  SoundFont& font;
  std::size_t zones = 0;

  [[noreturn]] static void Fail(std::string text) { throw Failure{std::move(text)}; }

  std::uint16_t Word(Row row, std::size_t index, std::size_t at) const { return U16(t[row].Record(index), at); }

  // [first, last) bags of record `index` of a header table with a bag
  // index at byte `at`, checked against the bag table.
  std::pair<std::size_t, std::size_t> BagRange(Row headers, std::size_t index, std::size_t at, Row bags,
                                               const char* what) const {
    const std::size_t first = Word(headers, index, at);
    const std::size_t last = Word(headers, index + 1, at);
    if (first > last || last >= t[bags].count)
      Fail(std::string(what) + " " + std::to_string(index) + " names bags " + std::to_string(first) + " to " +
           std::to_string(last) + " of " + std::to_string(t[bags].count));
    return {first, last};
  }
  std::pair<std::size_t, std::size_t> GenRange(Row bags, std::size_t bag, Row gens, const char* what) const {
    const std::size_t first = Word(bags, bag, 0);
    const std::size_t last = Word(bags, bag + 1, 0);
    if (first > last || last > t[gens].count)
      Fail(std::string(what) + " " + std::to_string(bag) + " names generators " + std::to_string(first) + " to " +
           std::to_string(last) + " of " + std::to_string(t[gens].count));
    return {first, last};
  }

  SampleHeader Sample(std::size_t index) const {
    const auto r = t[kShdr].Record(index);
    SampleHeader h;
    h.start = U32(r, 20);
    h.end = U32(r, 24);
    h.loopStart = U32(r, 28);
    h.loopEnd = U32(r, 32);
    h.sampleRate = U32(r, 36);
    h.originalPitch = r[40];
    h.pitchCorrection = static_cast<std::int8_t>(r[41]);
    h.link = U16(r, 42);
    h.type = U16(r, 44);
    return h;
  }
  // Sample headers that name a real sample (the last record is the terminal one).
  std::size_t RealSamples() const { return t[kShdr].count - 1; }

  void Prepare(Zone& zone) const {
    ZonePlayback& p = zone.playback;
    p = ZonePlayback{};
    const std::size_t id = static_cast<std::uint16_t>(zone.gen[kSampleId]);
    if (id >= RealSamples()) Fail("a zone names sample " + std::to_string(id) + " of " + std::to_string(RealSamples()));
    SampleHeader primary = Sample(id);
    if (primary.type & 0x8000u) return;  // ROM sample
    std::optional<SampleHeader> secondary;
    if ((primary.type & 0x1u) == 0 && primary.link < RealSamples()) {
      SampleHeader linked = Sample(primary.link);
      if ((linked.type & 0x8000u) == 0) {
        secondary = linked;
        if (primary.type & 0x4u) std::swap(primary, *secondary);
      }
    }
    const auto& g = zone.gen;
    const std::int64_t count = static_cast<std::int64_t>(font.SampleCount());
    p.start = std::int64_t{primary.start} + g[kStartOffset] + 32768 * std::int64_t{g[kStartCoarse]};
    p.end = std::int64_t{primary.end} + g[kEndOffset] + 32768 * std::int64_t{g[kEndCoarse]};
    if (p.start < 0 || p.end > count || p.end <= p.start) return;
    p.loopStart = std::int64_t{primary.loopStart} + g[kLoopStartOffset] + 32768 * std::int64_t{g[kLoopStartCoarse]};
    p.loopEnd = std::int64_t{primary.loopEnd} + g[kLoopEndOffset] + 32768 * std::int64_t{g[kLoopEndCoarse]};
    p.loopMode = g[kSampleModes] & 3;
    // A loop outside the sample is cut to it; one with nothing left plays through.
    p.loopStart = std::clamp(p.loopStart, p.start, p.end);
    p.loopEnd = std::clamp(p.loopEnd, p.loopStart, p.end);
    if ((p.loopMode & 1) == 0 || p.loopEnd <= p.loopStart) {
      p.loopMode = 0;
      p.loopStart = p.start;
      p.loopEnd = p.end;
    }
    if (secondary) {
      const std::int64_t offset = std::int64_t{secondary->start} - std::int64_t{primary.start};
      if (p.start + offset >= 0 && p.end + offset <= count) {
        p.stereo = true;
        p.secondOffset = offset;
      }
    }
    p.sampleRate = primary.sampleRate == 0 ? 44100 : primary.sampleRate;
    p.rootKey = g[kOverridingRootKey] >= 0 ? g[kOverridingRootKey] : primary.originalPitch;
    p.tuneSemitones = g[kCoarseTune] + (g[kFineTune] + primary.pitchCorrection) / 100.0;
    p.playable = true;
  }

  void AppendZone(std::vector<Zone>& out, Zone zone) {
    if (++zones > kMaxZones) Fail("more than " + std::to_string(kMaxZones) + " zones");
    Prepare(zone);
    out.push_back(zone);
  }

  void AppendInstrument(std::size_t instrument, std::vector<Zone>& out) {
    if (instrument + 1 >= t[kInst].count)
      Fail("a preset names instrument " + std::to_string(instrument) + " of " + std::to_string(t[kInst].count - 1));
    Zone defaults = DefaultZone();
    const auto [firstBag, lastBag] = BagRange(kInst, instrument, 20, kIbag, "instrument");
    for (std::size_t bag = firstBag; bag < lastBag; ++bag) {
      const auto [first, last] = GenRange(kIbag, bag, kIgen, "instrument bag");
      Zone zone = defaults;
      int lastOper = -1;
      for (std::size_t g = first; g < last; ++g) {
        const auto r = t[kIgen].Record(g);
        lastOper = U16(r, 0);
        if (lastOper < kGenerators) zone.gen[static_cast<std::size_t>(lastOper)] = static_cast<std::int16_t>(U16(r, 2));
      }
      if (lastOper == kSampleId) {
        AppendZone(out, zone);
      } else {
        defaults = zone;
      }
    }
  }

  static void Intersect(std::int16_t& range, std::uint16_t with) {
    const int low = std::max(range & 0xFF, with & 0xFF);
    const int high = std::min((range >> 8) & 0xFF, (with >> 8) & 0xFF);
    range = static_cast<std::int16_t>(low | high << 8);
  }

  void BuildPreset(std::size_t index, Preset& preset) {
    const auto r = t[kPhdr].Record(index);
    preset.name.assign(reinterpret_cast<const char*>(r.data()), 20);
    preset.name.resize(std::min(preset.name.find('\0'), preset.name.size()));
    preset.program = U16(r, 20);
    preset.bank = U16(r, 22);
    const auto [firstBag, lastBag] = BagRange(kPhdr, index, 24, kPbag, "preset");
    for (std::size_t bag = firstBag; bag < lastBag; ++bag) {
      const auto [first, last] = GenRange(kPbag, bag, kPgen, "preset bag");
      std::size_t from = preset.zones.size();
      for (std::size_t g = last; g-- > first;) {
        const auto gen = t[kPgen].Record(g);
        const int oper = U16(gen, 0);
        const std::uint16_t amount = U16(gen, 2);
        if (oper == kInstrument) {
          from = preset.zones.size();
          AppendInstrument(amount, preset.zones);
        } else if (oper == kKeyRange || oper == kVelRange) {
          for (std::size_t z = from; z < preset.zones.size(); ++z) Intersect(preset.zones[z].gen[static_cast<std::size_t>(oper)], amount);
        }
      }
    }
  }

  void Build() {
    const riff::RiffResult walk = riff::ReadRiff(bytes, kRows);
    if (!walk.ok) Fail(walk.error);
    if (walk.formType != MakeFourCC("sfbk")) Fail("the RIFF form is not \"sfbk\"");
    for (int i = 0; i < kRowCount; ++i) {
      const riff::FoundChunk& c = walk.chunks[static_cast<std::size_t>(i)];
      const riff::ChunkRow& row = kRows[static_cast<std::size_t>(i)];
      if (!c.found && i != kPmod && i != kImod) Fail("no \"" + riff::FourCCText(row.id) + "\" chunk");
      // Sample data may end on an odd byte (a compressed font's does); the rest must be whole records.
      if (i != kSmpl && c.size % row.recordSize != 0)
        Fail("the \"" + riff::FourCCText(row.id) + "\" chunk is not a whole number of records");
      t[static_cast<std::size_t>(i)] = {bytes.subspan(c.offset, c.size), c.count, row.recordSize};
    }
    if (t[kPhdr].count < 2 || t[kInst].count < 2 || t[kShdr].count < 2 || t[kPbag].count < 1 || t[kIbag].count < 1)
      Fail("a table lacks its terminal record");
    for (std::size_t s = 0; s < RealSamples(); ++s)
      if (Sample(s).type & 0x10u) Fail(kCompressedMessage);

    const auto data = t[kSmpl].bytes;
    font.samples_.assign(data.size() / 2 + 2 * kGuardSamples, 0);
    for (std::size_t i = 0; i < data.size() / 2; ++i)
      font.samples_[kGuardSamples + i] = static_cast<std::int16_t>(U16(data, 2 * i));

    font.presets_.resize(t[kPhdr].count - 1);
    for (std::size_t p = 0; p + 1 < t[kPhdr].count; ++p) BuildPreset(p, font.presets_[p]);
  }
};

Zone DefaultZone() {
  Zone z;
  z.gen.fill(0);
  z.gen[kInitialFilterFc] = 13500;
  for (int g : {21, 23, 25, 26, 27, 28, 30, 33, 34, 35, 36, 38}) z.gen[static_cast<std::size_t>(g)] = -12000;
  z.gen[kKeyRange] = 127 << 8;
  z.gen[kVelRange] = 127 << 8;
  z.gen[kKeynum] = -1;
  z.gen[kVelocity] = -1;
  z.gen[kOverridingRootKey] = -1;
  z.gen[kScaleTuning] = 100;
  return z;
}

const Preset* SoundFont::Find(int bank, int program) const {
  for (const Preset& p : presets_)
    if (p.bank == bank && p.program == program) return &p;
  return nullptr;
}

const Zone* SoundFont::FindZone(const Preset& preset, int key, int velocity) {
  for (std::size_t i = preset.zones.size(); i-- > 0;)
    if (preset.zones[i].Contains(key, velocity)) return &preset.zones[i];
  return nullptr;
}

ReadResult ReadSoundFont(std::span<const std::uint8_t> bytes) {
  ReadResult result;
  auto font = std::make_shared<SoundFont>();
  Builder builder{bytes, {}, *font};
  try {
    builder.Build();
  } catch (const Failure& f) {
    result.error = f.text;
    return result;
  }
  result.font = std::move(font);
  return result;
}

}  // namespace kr::sf2
