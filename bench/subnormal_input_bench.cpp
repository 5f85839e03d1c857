// What bad host input costs: a patch of one-pole filters on its two inputs
// (bench/peers/input-filters.json), loaded through the plug-in's entry and
// fed 10 s of silence, subnormal floats, NaN and full-scale noise in blocks
// of 512. Reports CPU seconds per audio second and the ratio to silence,
// measured first in the same process: subnormals and NaN cost what silence
// does, since the input module turns them into silence.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "host/host_harness.h"
#include "host/torture_signal.h"

namespace fs = std::filesystem;

namespace {

constexpr float kRate = 44100.0f;
constexpr double kSeconds = 10.0;
constexpr int kBlock = 512;

class ExportedFilters {
 public:
  ExportedFilters() {
    const fs::path program = fs::path(KR_PLUGIN_PATH).parent_path() / "kestrune";
    folder_ = fs::temp_directory_path() / ("kestrune-input-bench-" + std::to_string(std::rand()));
    fs::create_directories(folder_);
    plugin_ = folder_ / ("Filters" + fs::path(KR_PLUGIN_PATH).extension().string());
    std::ostringstream command;
    command << program << " export " << fs::path(KR_SOURCE_DIR) / "bench/peers/input-filters.json" << " -o "
            << plugin_ << " >/dev/null 2>&1";
    ok_ = fs::exists(program) && std::system(command.str().c_str()) == 0 && fs::exists(plugin_);
  }
  ~ExportedFilters() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  bool ok() const { return ok_; }
  std::string Path() const { return plugin_.string(); }

 private:
  fs::path folder_, plugin_;
  bool ok_ = false;
};

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double costOfSilence = 0.0;

void BM_FiltersByInput(benchmark::State& state) {
  static ExportedFilters exported;
  if (!exported.ok()) {
    state.SkipWithError("the patch could not be exported (is kestrune built beside the plug-in?)");
    return;
  }
  const auto kind = static_cast<torture::InputKind>(state.range(0));
  HostHarness host;
  host.SetRecordingCalls(false);
  if (!host.Load(exported.Path()) || host.CallMain() == nullptr) {
    state.SkipWithError("the plug-in did not load");
    return;
  }
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, kRate);
  host.Dispatch(vst::effSetBlockSize, 0, kBlock);
  host.Dispatch(vst::effMainsChanged, 0, 1);
  host.PrepareBlock(kBlock);
  // Filled once: only the plug-in's work is timed.
  std::mt19937 random(1);
  for (int c = 0; c < host.Effect()->numInputs; ++c) torture::FillInput(host.Input(c), kind, random);
  const auto blocks = static_cast<int>(kSeconds * kRate / kBlock);
  double cpu = 0.0;
  for (auto _ : state) {
    const double before = CpuSeconds();
    for (int b = 0; b < blocks; ++b) host.RunBlock();
    const double spent = CpuSeconds() - before;
    cpu += spent;
    state.SetIterationTime(spent);
  }
  const double perAudioSecond = cpu / static_cast<double>(state.iterations()) / kSeconds;
  state.counters["cpu_s_per_audio_s"] = perAudioSecond;
  if (kind == torture::InputKind::Silence) costOfSilence = perAudioSecond;
  if (kind != torture::InputKind::Silence && costOfSilence > 0.0)
    state.counters["vs_silence"] = perAudioSecond / costOfSilence;
  state.SetLabel(std::string(torture::InputName(kind)));
}
BENCHMARK(BM_FiltersByInput)
    ->Arg(static_cast<int>(torture::InputKind::Silence))
    ->Arg(static_cast<int>(torture::InputKind::Subnormal))
    ->Arg(static_cast<int>(torture::InputKind::NaN))
    ->Arg(static_cast<int>(torture::InputKind::Noise))
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
