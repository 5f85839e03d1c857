// Rigs for the sample, SoundFont and recorder suites: an engine whose host
// serves files from a folder (as the application serves the plug-in's
// folder), hand-made SoundFont and WAVE files, and the Debian files the
// tests play when they are installed.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/file_read_stream.h"
#include "engine/module_files.h"
#include "support/engine_modules.h"
#include "support/sound_rig.h"
#include "support/temp_dir.h"

using namespace kr;

namespace krtest {

using Bytes = std::vector<std::uint8_t>;

// Files from one folder; writing into it too (names with a folder part refused).
struct FolderFiles : kr::ModuleFiles {
  std::unique_ptr<kr::ReadStream> OpenForReading(std::string_view name, std::string_view ext) override {
    std::string file(name);
    if (std::filesystem::path(file).extension().empty()) file += "." + std::string(ext);
    const std::filesystem::path p = std::filesystem::path(file).is_absolute() ? std::filesystem::path(file) : folder / file;
    return kr::FileReadStream::Open(p.string());
  }
  std::string PathForWriting(std::string_view name, std::string_view ext) override {
    std::string file(name);
    if (file.find_first_of("/\\:") != std::string::npos || file == "..") return {};
    if (std::filesystem::path(file).extension().empty()) file += "." + std::string(ext);
    return (folder / file).string();
  }
  std::filesystem::path folder;
};

struct FileEngine {
  explicit FileEngine(int hostBlockSize = 64, double rate = 44100.0) : master(host, 1) {
    host.rate = rate;
    files.folder = dir.path();
    host.files = &files;
    master.SetBlockSize(hostBlockSize);
    root.audioMaster = &master;
  }
  void Start() {
    master.Start(root);
    master.running = true;
  }
  void Render(int total, int hostBlock = 64) {
    while (total > 0) {
      const int n = std::min(total, hostBlock);
      master.Process(n);
      total -= n;
    }
  }
  void Write(const std::string& name, const Bytes& bytes) const {
    std::ofstream(dir.path() / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
  }
  krtest::TempDir dir;
  FolderFiles files;
  krtest::FakeHost host;
  KrAudioMaster master;
  krtest::TestContainer root;
};

inline Bytes ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  Bytes b(std::filesystem::file_size(p));
  in.read(reinterpret_cast<char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return b;
}

// Little-endian writing.
inline void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }
inline Bytes Chunk(const char* id, const Bytes& data) {
  Bytes b;
  PutId(b, id);
  Put32(b, static_cast<std::uint32_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  if (data.size() & 1) b.push_back(0);
  return b;
}
inline Bytes List(const char* type, const std::vector<Bytes>& chunks) {
  Bytes data;
  PutId(data, type);
  for (const Bytes& c : chunks) data.insert(data.end(), c.begin(), c.end());
  return Chunk("LIST", data);
}
inline Bytes Riff(const char* form, const std::vector<Bytes>& chunks) {
  Bytes data;
  PutId(data, form);
  for (const Bytes& c : chunks) data.insert(data.end(), c.begin(), c.end());
  return Chunk("RIFF", data);
}

// A WAVE file: format tag, channels, rate, bits, the data bytes, and an
// optional smpl loop (first and last frame, as the file stores them).
struct WaveSpec {
  std::uint16_t tag = 1;
  std::uint16_t channels = 1;
  std::uint32_t rate = 44100;
  std::uint16_t bits = 16;
  Bytes data;
  bool loop = false;
  std::uint32_t loopStart = 0;
  std::uint32_t loopLast = 0;
};
inline Bytes Fmt(const WaveSpec& w) {
  Bytes f;
  Put16(f, w.tag);
  Put16(f, w.channels);
  Put32(f, w.rate);
  Put32(f, w.rate * w.channels * w.bits / 8);
  Put16(f, w.channels * w.bits / 8);
  Put16(f, w.bits);
  return f;
}
inline Bytes Smpl(std::uint32_t start, std::uint32_t last) {
  Bytes s(28, 0);
  Put32(s, 1);  // one loop
  Put32(s, 0);
  Put32(s, 0);  // cue id
  Put32(s, 0);  // type
  Put32(s, start);
  Put32(s, last);
  Put32(s, 0);
  Put32(s, 0);
  return s;
}
inline Bytes MakeWave(const WaveSpec& w) {
  std::vector<Bytes> chunks{Chunk("fmt ", Fmt(w)), Chunk("data", w.data)};
  if (w.loop) chunks.push_back(Chunk("smpl", Smpl(w.loopStart, w.loopLast)));
  return Riff("WAVE", chunks);
}
inline Bytes Pcm16(const std::vector<int>& values) {
  Bytes b;
  for (int v : values) Put16(b, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
  return b;
}

// A one-preset SoundFont: the samples, one sample header, an instrument
// with one zone (plus the generators given), a preset on bank/program.
struct FontSpec {
  std::vector<std::int16_t> samples;
  std::uint32_t start = 0, end = 0, loopStart = 0, loopEnd = 0;
  std::uint32_t sampleRate = 44100;
  std::uint8_t rootKey = 60;
  std::int8_t correction = 0;
  std::uint16_t sampleType = 1;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> instrumentGens;  // before sampleID
  std::vector<std::pair<std::uint16_t, std::uint16_t>> presetGens;      // before instrument
  std::uint16_t bank = 0, program = 0;
};
inline Bytes Name20(const char* name) {
  Bytes b(20, 0);
  std::memcpy(b.data(), name, std::min<std::size_t>(std::strlen(name), 19));
  return b;
}
inline Bytes MakeFont(const FontSpec& f) {
  Bytes smpl;
  for (std::int16_t s : f.samples) Put16(smpl, static_cast<std::uint16_t>(s));
  Bytes phdr = Name20("Preset");
  Put16(phdr, f.program);
  Put16(phdr, f.bank);
  Put16(phdr, 0);
  Put32(phdr, 0);
  Put32(phdr, 0);
  Put32(phdr, 0);
  Bytes eop = Name20("EOP");
  Put16(eop, 0);
  Put16(eop, 0);
  Put16(eop, 1);
  Put32(eop, 0);
  Put32(eop, 0);
  Put32(eop, 0);
  phdr.insert(phdr.end(), eop.begin(), eop.end());
  Bytes pgen;
  for (auto [op, amount] : f.presetGens) {
    Put16(pgen, op);
    Put16(pgen, amount);
  }
  Put16(pgen, 41);
  Put16(pgen, 0);
  const auto presetGens = static_cast<std::uint32_t>(f.presetGens.size() + 1);
  Put32(pgen, 0);  // terminal
  Bytes pbag;
  Put16(pbag, 0);
  Put16(pbag, 0);
  Put16(pbag, static_cast<std::uint16_t>(presetGens));
  Put16(pbag, 0);
  Bytes inst = Name20("Inst");
  Put16(inst, 0);
  Bytes eoi = Name20("EOI");
  Put16(eoi, 1);
  inst.insert(inst.end(), eoi.begin(), eoi.end());
  Bytes igen;
  for (auto [op, amount] : f.instrumentGens) {
    Put16(igen, op);
    Put16(igen, amount);
  }
  Put16(igen, 53);
  Put16(igen, 0);
  Put32(igen, 0);
  Bytes ibag;
  Put16(ibag, 0);
  Put16(ibag, 0);
  Put16(ibag, static_cast<std::uint16_t>(f.instrumentGens.size() + 1));
  Put16(ibag, 0);
  Bytes shdr = Name20("Sample");
  Put32(shdr, f.start);
  Put32(shdr, f.end);
  Put32(shdr, f.loopStart);
  Put32(shdr, f.loopEnd);
  Put32(shdr, f.sampleRate);
  shdr.push_back(f.rootKey);
  shdr.push_back(static_cast<std::uint8_t>(f.correction));
  Put16(shdr, 0);
  Put16(shdr, f.sampleType);
  Bytes eos = Name20("EOS");
  eos.resize(46, 0);
  shdr.insert(shdr.end(), eos.begin(), eos.end());
  return Riff("sfbk", {List("INFO", {Chunk("ifil", {2, 0, 1, 0})}), List("sdta", {Chunk("smpl", smpl)}),
                       List("pdta", {Chunk("phdr", phdr), Chunk("pbag", pbag), Chunk("pmod", Bytes(10, 0)),
                                     Chunk("pgen", pgen), Chunk("inst", inst), Chunk("ibag", ibag),
                                     Chunk("imod", Bytes(10, 0)), Chunk("igen", igen), Chunk("shdr", shdr)})});
}

// A sample of unique values: sample i holds 100 + i (with the 46 zeros a
// SoundFont puts after every sample).
inline FontSpec RampFont(int length, int loopStart, int loopEnd) {
  FontSpec f;
  for (int i = 0; i < length; ++i) f.samples.push_back(static_cast<std::int16_t>(100 + i));
  f.samples.resize(static_cast<std::size_t>(length) + 46, 0);
  f.end = static_cast<std::uint32_t>(length);
  f.loopStart = static_cast<std::uint32_t>(loopStart);
  f.loopEnd = static_cast<std::uint32_t>(loopEnd);
  return f;
}

// The Debian files, when installed (setup.sh installs them).
inline std::filesystem::path DebianFile(const char* path) { return std::filesystem::path(path); }
inline std::filesystem::path BasicSf2() {
  return std::filesystem::path(KR_SOURCE_DIR) / "build/third-party/freewheeling/usr/share/sounds/sf2/basic.sf2";
}
#define REQUIRE_FILE(p)                                                        \
  if (!std::filesystem::exists(p)) GTEST_SKIP() << (p).string() << " is not installed (./setup.sh deps)"

}  // namespace krtest
