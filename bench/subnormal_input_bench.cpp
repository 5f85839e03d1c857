// What bad host input costs: a patch of one-pole filters on its two inputs
// (bench/peers/input-filters.json), loaded through the plug-in's entry and
// fed 10 s of silence, subnormal floats, NaN and full-scale noise in blocks
// of 512. Reports CPU seconds per audio second and the ratio to silence,
// measured first in the same process: subnormals and NaN cost what silence
// does, since the input module turns them into silence.
#include <benchmark/benchmark.h>

#include <ctime>
#include <random>
#include <string>

#include "exported_patch.h"
#include "host/host_harness.h"
#include "host/torture_signal.h"

using namespace kr;

namespace {

constexpr float kRate = 44100.0f;
constexpr double kSeconds = 10.0;
constexpr int kBlock = 512;

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double costOfSilence = 0.0;

void BM_FiltersByInput(benchmark::State& state) {
  static bench_support::ExportedPatch exported("bench/peers/input-filters.json", "Filters");
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
