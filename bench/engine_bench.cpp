// Engine costs: streaming modules, sleeping modules and event throughput.
#include <benchmark/benchmark.h>

#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kHostBlock = 512;

// Counts events; its process does nothing.
class EventSink : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<EventSink>(); }
  void Open() override {
    SetProcessFunction(&ug_base::DoNothing);
    ug_base::Open();
  }
  void HandleEvent(ug_event*) override { ++handled; }
  long handled = 0;
};

void BM_StreamingGainChain(benchmark::State& state) {
  const int chain = static_cast<int>(state.range(0));
  TestEngine engine(kHostBlock);
  auto* ramp = engine.root.Add<RampSource>(chain + 2);
  UPlug* previous = ramp->GetPlug(0);
  for (int i = 0; i < chain; ++i) {
    auto* gain = engine.root.Add<Gain>(chain + 1 - i);
    gain->gain = 0.999f;
    Connect(previous, gain->GetPlug(0));
    previous = gain->GetPlug(1);
  }
  auto* sink = engine.root.Add<Sink>(0);
  Connect(previous, sink->GetPlug(0));
  engine.Start();
  for (auto _ : state) engine.master.Process(kHostBlock);
  benchmark::DoNotOptimize(sink->sum);
  // items = module-samples: 1 / items_per_second is the cost per module per sample.
  state.SetItemsProcessed(state.iterations() * kHostBlock * chain);
}
BENCHMARK(BM_StreamingGainChain)->Arg(100);

void BM_SleepingModules(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TestEngine engine(kHostBlock);
  auto* source = engine.root.Add<StepSource>(10);
  source->ScheduleStep(0, 0.5f);
  for (int i = 0; i < count; ++i) {
    auto* gain = engine.root.Add<Gain>(5);
    Connect(source->GetPlug(0), gain->GetPlug(0));
  }
  engine.Start();
  for (int i = 0; i < 8; ++i) engine.master.Process(kHostBlock);  // settle and fall asleep
  if (!engine.ActiveList().empty()) state.SkipWithError("modules did not fall asleep");
  for (auto _ : state) engine.master.Process(kHostBlock);
  state.counters["modules"] = count;
  state.SetItemsProcessed(state.iterations());  // host blocks
}
BENCHMARK(BM_SleepingModules)->Arg(0)->Arg(1000);

// Arg 0: events per block; arg 1: 1 = added in time order, 0 = scattered.
void BM_EventThroughput(benchmark::State& state) {
  const int perBlock = static_cast<int>(state.range(0));
  const bool ordered = state.range(1) != 0;
  TestEngine engine(kHostBlock);
  auto* sink = engine.root.Add<EventSink>(5);
  engine.Start();
  for (auto _ : state) {
    const int now = engine.master.now;
    for (int i = 0; i < perBlock; ++i) {
      const int offset = ordered ? i * kHostBlock / perBlock : (i * 7919) % kHostBlock;
      sink->AddEvent(sink->NewEvent(now + offset, 50), true);
    }
    engine.master.Process(kHostBlock);
  }
  benchmark::DoNotOptimize(sink->handled);
  state.SetItemsProcessed(state.iterations() * perBlock);  // events added and handled
}
BENCHMARK(BM_EventThroughput)->Args({64, 1})->Args({1024, 1})->Args({64, 0})->Args({1024, 0});

}  // namespace
