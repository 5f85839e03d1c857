// The per-block cost: the peer benchmark's patch without its filter (16 saw
// voices -> ADSR -> VCA, bench/peers/reference-nofilter.json) rendered
// through the plug-in's entry for 10 s at host blocks of 512, 64 and 16
// samples. Reports CPU seconds per audio second and, for 64 and 16, the
// ratio to the 512 run made first in the same process. No file is written:
// this is the plug-in's cost alone.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "exported_patch.h"
#include "host/host_harness.h"
#include "host/render_session.h"

using namespace kr;

namespace {

constexpr double kRate = 44100.0;
constexpr double kSeconds = 10.0;

struct Discard : AudioSink {
  bool Write(std::span<const float* const>, int) override { return true; }
};

Score HeldNotes() {
  Score score;
  for (int key = 36; key < 52; ++key) score.events.push_back({0, 0x90, static_cast<std::uint8_t>(key), 100});
  score.endSample = static_cast<std::int64_t>(kSeconds * kRate);
  return score;
}

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double costAt512 = 0.0;  // CPU-s per audio second of the latest 512 run

void BM_NoFilterPatchByBlockSize(benchmark::State& state) {
  static bench_support::ExportedPatch exported("bench/peers/reference-nofilter.json", "Blocks");
  if (!exported.ok()) {
    state.SkipWithError("the patch could not be exported (is kestrune built beside the plug-in?)");
    return;
  }
  const int block = static_cast<int>(state.range(0));
  const Score score = HeldNotes();
  // Loaded once, so its tables are built once: only the rendering is timed.
  HostHarness host;
  if (!host.Load(exported.Path())) {
    state.SkipWithError("the plug-in did not load");
    return;
  }
  double cpu = 0.0;
  for (auto _ : state) {
    if (host.CallMain() == nullptr) {
      state.SkipWithError("the plug-in gave no effect");
      return;
    }
    RenderSettings settings;
    settings.sampleRate = kRate;
    settings.blockSize = block;
    settings.tailSeconds = 0.0;
    Discard sink;
    const double before = CpuSeconds();
    const RenderOutcome outcome = RenderScore(host, score, settings, sink);
    const double spent = CpuSeconds() - before;
    cpu += spent;
    state.SetIterationTime(spent);
    if (!outcome.ok) state.SkipWithError(outcome.error.c_str());
  }
  const double perAudioSecond = cpu / static_cast<double>(state.iterations()) / kSeconds;
  state.counters["cpu_s_per_audio_s"] = perAudioSecond;
  if (block == 512) costAt512 = perAudioSecond;
  if (block != 512 && costAt512 > 0.0) state.counters["vs_512"] = perAudioSecond / costAt512;
}
BENCHMARK(BM_NoFilterPatchByBlockSize)->Arg(512)->Arg(64)->Arg(16)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
