// Whole renders of the default patch (examples/default-subtractive.json)
// through the plug-in, as kestrune render does them: 60 s at 44.1 kHz with
// 16 and with 64 notes held from the first sample. Reports the real-time
// multiple and the CPU time one voice takes. Skips with a message when the
// default patch cannot be exported or loaded, or plays nothing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "host/host_harness.h"
#include "host/render_session.h"

using namespace kr;

namespace fs = std::filesystem;

namespace {

constexpr double kRate = 44100.0;
constexpr double kSeconds = 60.0;

struct PeakOnly : AudioSink {
  bool Write(std::span<const float* const>, int) override { return true; }
};

// The default patch exported once into a temporary plug-in by the kestrune
// program built beside the plug-in.
class DefaultPatchPlugin {
 public:
  DefaultPatchPlugin() {
    const fs::path built = fs::path(KR_PLUGIN_PATH).parent_path();
    const fs::path program = built / "kestrune";
    folder_ = fs::temp_directory_path() / ("kestrune-render-bench-" + std::to_string(std::rand()));
    fs::create_directories(folder_);
    plugin_ = folder_ / ("KestruneBench" + fs::path(KR_PLUGIN_PATH).extension().string());
    std::ostringstream command;
    command << program << " export " << fs::path(KR_SOURCE_DIR "/examples/default-subtractive.json") << " -o "
            << plugin_ << " >/dev/null 2>&1";
    if (!fs::exists(program) || std::system(command.str().c_str()) != 0 || !fs::exists(plugin_))
      problem_ = "the default patch could not be exported (does kestrune have the export command?)";
  }
  ~DefaultPatchPlugin() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  const std::string& Problem() const { return problem_; }
  std::string Path() const { return plugin_.string(); }

 private:
  fs::path folder_;
  fs::path plugin_;
  std::string problem_;
};

Score HeldNotes(int voices, double seconds) {
  Score score;
  for (int v = 0; v < voices; ++v)
    score.events.push_back({0, 0x90, static_cast<std::uint8_t>(36 + v), 100});
  score.endSample = static_cast<std::int64_t>(seconds * kRate);
  return score;
}

RenderOutcome RenderOnce(HostHarness& host, const Score& score) {
  RenderSettings settings;
  settings.sampleRate = kRate;
  settings.blockSize = 512;
  settings.tailSeconds = 0.0;
  PeakOnly sink;
  return RenderScore(host, score, settings, sink);
}

void BM_RenderDefaultPatch(benchmark::State& state) {
  static DefaultPatchPlugin exported;
  if (!exported.Problem().empty()) {
    state.SkipWithError(exported.Problem().c_str());
    return;
  }
  HostHarness host;
  if (!host.Load(exported.Path()) || host.CallMain() == nullptr) {
    state.SkipWithError("the default patch does not load (main returned null)");
    return;
  }
  const int voices = static_cast<int>(state.range(0));
  // A second of audio first: a patch that makes no sound is not worth timing.
  if (RenderOnce(host, HeldNotes(voices, 1.0)).stats.peak == 0.0f) {
    state.SkipWithError("the default patch loads but stays silent (are the voice modules built?)");
    return;
  }
  const Score score = HeldNotes(voices, kSeconds);
  double wall = 0.0;
  for (auto _ : state) {
    if (host.CallMain() == nullptr) {
      state.SkipWithError("the plug-in gave no second effect");
      return;
    }
    const RenderOutcome outcome = RenderOnce(host, score);
    wall += outcome.stats.wallSeconds;
    state.SetIterationTime(outcome.stats.wallSeconds);
  }
  const double perRender = wall / static_cast<double>(state.iterations());
  state.counters["x_realtime"] = kSeconds / perRender;
  // Per held note: the voices that sound are at most the voice container's
  // "Polyphony", which the default patch leaves at its default.
  state.counters["cpu_pct_per_note"] = 100.0 * perRender / kSeconds / voices;
}
BENCHMARK(BM_RenderDefaultPatch)->Arg(16)->Arg(64)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
