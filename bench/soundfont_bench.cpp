// SoundFont voices: 64 notes of TimGM6mb held on the "Soundfont Player",
// and fluidsynth (Debian's) rendering the same notes from the same font in
// one run of this program, for a CPU-per-voice comparison. Reverb and
// chorus are off in fluidsynth; its voices still run their filter and
// modulators, which these voices do not have.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>

#include "engine/module_files.h"
#include "base/file_read_stream.h"
#include "formats/midifile/midi_file_writer.h"
#include "modules/soundfont/sample_player2.h"
#include "support/voice_rig.h"

using namespace kr;

namespace {

constexpr int kHostBlock = 512;
constexpr int kVoices = 64;
constexpr int kProgram = 16;  // Drawbar Organ: one looped, sustained mono zone per key in both players
const char* const kFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct SystemFiles : kr::ModuleFiles {
  std::unique_ptr<kr::ReadStream> OpenForReading(std::string_view name, std::string_view) override {
    return kr::FileReadStream::Open(std::string(name));
  }
  std::string PathForWriting(std::string_view, std::string_view) override { return {}; }
};

void BM_SoundFontVoices(benchmark::State& state) {
  if (!std::filesystem::exists(kFont)) {
    state.SkipWithError("timgm6mb-soundfont is not installed");
    return;
  }
  SystemFiles files;
  krtest::VoiceRig rig(kHostBlock, kVoices);
  rig.host.files = &files;
  auto* player = rig.Add<ug_sample_player2>();
  player->SetFileName(kFont);
  auto* sink = rig.Add<krtest::Sink>();
  sink->unmarked = true;
  Connect(rig.feeder->GetPlug(0), player->GetPlug(ug_sample_player2::PN_MIDI));
  Connect(player->GetPlug(ug_sample_player2::PN_LEFT), sink->GetPlug(0));
  Connect(player->GetPlug(ug_sample_player2::PN_RIGHT), sink->GetPlug(0));
  rig.Build();
  rig.Midi(0, 0xC0u | kProgram << 8);
  for (int i = 0; i < kVoices; ++i) rig.Note(1, 36 + i, 100);
  rig.Render(kHostBlock * 4);  // past the attacks
  for (auto _ : state) rig.master.Process(kHostBlock);
  int playing = 0;
  for (const auto& v : rig.root.voices) playing += v->suspended ? 0 : 1;
  state.SetItemsProcessed(state.iterations() * kHostBlock);
  state.counters["voices"] = playing;
  // Per voice: the share of one core that one voice takes in real time at 44.1 kHz.
  state.counters["core%/voice"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kHostBlock / 44100.0 * playing / 100.0,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SoundFontVoices)->Unit(benchmark::kMicrosecond);

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Processor seconds fluidsynth takes to render `seconds` of the notes (none, or 64 held).
double FluidsynthSeconds(const std::filesystem::path& dir, int notes, int seconds) {
  kr::midifile::WrittenTrack track;
  track.push_back({0, {0xC0, kProgram}});
  for (int i = 0; i < notes; ++i) track.push_back({1, {0x90, static_cast<std::uint8_t>(36 + i), 100}});
  const std::uint64_t end = static_cast<std::uint64_t>(seconds) * 960;  // 480 ticks a quarter at 120 bpm
  for (int i = 0; i < notes; ++i) track.push_back({end, {0x80, static_cast<std::uint8_t>(36 + i), 0}});
  track.push_back({end, {0xFF, 0x01, 0x00}});
  const auto bytes = kr::midifile::WriteMidiFile(0, 480, {track});
  const auto mid = dir / ("notes" + std::to_string(notes) + ".mid");
  std::ofstream(mid, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const std::string command = std::string("fluidsynth -ni -q -R 0 -C 0 -r 44100 -o synth.polyphony=") +
                              std::to_string(kVoices) + " -o synth.cpu-cores=1 -T raw -F " + (dir / "out.raw").string() +
                              " " + kFont + " " + mid.string() + " >/dev/null 2>&1";
  const double before = ChildCpuSeconds();
  if (std::system(command.c_str()) != 0) return -1.0;
  return ChildCpuSeconds() - before;
}

void BM_FluidsynthSameNotes(benchmark::State& state) {
  if (!std::filesystem::exists(kFont) || std::system("fluidsynth --version >/dev/null 2>&1") != 0) {
    state.SkipWithError("fluidsynth or timgm6mb-soundfont is not installed");
    return;
  }
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kr_fluidsynth_bench";
  std::filesystem::create_directories(dir);
  constexpr int kSeconds = 20;
  double withNotes = 0.0, without = 0.0;
  for (auto _ : state) {
    without = FluidsynthSeconds(dir, 0, kSeconds);  // start-up, font loading, an idle synth
    withNotes = FluidsynthSeconds(dir, kVoices, kSeconds);
    state.SetIterationTime(withNotes);
  }
  std::filesystem::remove_all(dir);
  if (withNotes < 0.0 || without < 0.0) {
    state.SkipWithError("fluidsynth failed");
    return;
  }
  const double perVoice = (withNotes - without) / kVoices / kSeconds;  // seconds of CPU per second of sound
  state.counters["voices"] = kVoices;
  state.counters["core%/voice"] = perVoice * 100.0;
  state.counters["idle_s"] = without;
}
BENCHMARK(BM_FluidsynthSameNotes)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
