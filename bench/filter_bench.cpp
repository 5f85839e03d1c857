// Filter costs per sample, each filter in a hand-made graph fed a streaming
// input: ringing down from a loud note into silence (its state decays
// through the range where, unguarded, floats turn subnormal and every
// operation slows down many times) against the same filter fed silence from
// the start, and the state-variable low-pass on a saw (the reference patch's
// voice filter).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>
#include <memory>
#include <string>

#include "modules/filter/filter_1pole.h"
#include "modules/filter/filter_allpass.h"
#include "modules/filter/filter_ladder.h"
#include "modules/filter/filter_sv.h"
#include "support/sound_rig.h"

using namespace kr;

namespace {

constexpr int kHostBlock = 512;
constexpr int kSecond = 44100;

enum Feed { kRingDown, kSilence, kSaw };

// Streams a prepared signal, so that every feed costs the source the same.
class BufferSource : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<BufferSource>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&BufferSource::Generate);
    ug_base::Open();
    GetPlug(0)->SetState(clock, ST_RUN);
  }
  void Generate(int offset, int count) {
    std::copy_n(signal.data() + (clock % static_cast<int>(signal.size())), count, out + offset);
  }
  float* out = nullptr;
  std::vector<float> signal;
};

template <class Filter>
struct Rig {
  Rig(Feed feed, int outPlug, std::map<int, std::string> values) : engine(kHostBlock) {
    filter = engine.root.Add<Filter>(10);
    auto* source = engine.root.Add<BufferSource>(20);
    source->signal.assign(4096 + kSecond + kHostBlock, 0.0f);
    for (int t = 0; t < static_cast<int>(source->signal.size()); ++t) {
      if (feed == kRingDown && t < 4096) source->signal[static_cast<std::size_t>(t)] = (t / 50) % 2 == 0 ? 0.9f : -0.9f;
      if (feed == kSaw) source->signal[static_cast<std::size_t>(t)] = static_cast<float>(t % 100) * 0.01f - 0.5f;
    }
    Connect(source->GetPlug(0), filter->GetPlug(0));
    auto* sink = engine.root.Add<krtest::Sink>(1);
    Connect(filter->GetPlug(outPlug), sink->GetPlug(0));
    krtest::ApplyInputs(*filter, values);
    engine.Start();
    engine.Render(4096, kHostBlock);  // the loud part, not timed
  }
  krtest::TestEngine engine;
  Filter* filter;
};

template <class Filter>
void Run(benchmark::State& state, int outPlug, std::map<int, std::string> values) {
  const auto feed = static_cast<Feed>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto rig = std::make_unique<Rig<Filter>>(feed, outPlug, values);
    state.ResumeTiming();
    rig->engine.Render(kSecond, kHostBlock);  // one second, ringing down to nothing
    benchmark::DoNotOptimize(rig->filter);
  }
  state.SetItemsProcessed(state.iterations() * kSecond);
  state.SetLabel(feed == kRingDown ? "ringing down" : feed == kSilence ? "silence" : "saw");
}

void BM_SvFilter(benchmark::State& state) {
  Run<ug_filter_sv>(state, ug_filter_sv::PN_LOW_PASS, {{ug_filter_sv::PN_PITCH, "4"}, {ug_filter_sv::PN_RESONANCE, "2"}});
}
void BM_LadderFilter(benchmark::State& state) {
  Run<ug_filter_biquad>(state, ug_filter_biquad::PN_OUTPUT, {{ug_filter_biquad::PN_RESONANCE, "3"}});
}
void BM_OnePoleFilter(benchmark::State& state) {
  Run<ug_filter_1pole>(state, ug_filter_1pole::PN_OUTPUT, {{ug_filter_1pole::PN_PITCH, "7"}});
}
void BM_AllPassFilter(benchmark::State& state) {
  Run<ug_filter_allpass>(state, ug_filter_allpass::PN_OUTPUT, {});
}
BENCHMARK(BM_SvFilter)->Arg(kRingDown)->Arg(kSilence)->Arg(kSaw);
BENCHMARK(BM_LadderFilter)->Arg(kRingDown)->Arg(kSilence);
BENCHMARK(BM_OnePoleFilter)->Arg(kRingDown)->Arg(kSilence);
BENCHMARK(BM_AllPassFilter)->Arg(kRingDown)->Arg(kSilence);

}  // namespace
