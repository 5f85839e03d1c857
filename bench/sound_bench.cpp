// Cost per sample of one oscillator and one envelope, run by the engine in
// host blocks of 512 (sub-blocks as the engine cuts them).
#include <benchmark/benchmark.h>

#include "modules/env/adsr.h"
#include "modules/env/vca.h"
#include "modules/osc/oscillator.h"
#include "support/sound_rig.h"

using namespace kr;

namespace {

constexpr int kHostBlock = 512;

// A gate that is high for `period` samples and low for as many: the
// envelope is always attacking, decaying or releasing.
class SquareGate : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<SquareGate>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO, "", "", 0, "", &out);
  }
  void Open() override {
    SetProcessFunction(&SquareGate::Generate);
    ug_base::Open();
    GetPlug(0)->SetState(clock, ST_RUN);
  }
  void Generate(int offset, int count) {
    for (int i = 0; i < count; ++i) out[offset + i] = ((clock + i) / period) % 2 == 0 ? 1.0f : 0.0f;
  }
  float* out = nullptr;
  int period = 4000;
};

void Run(benchmark::State& state, krtest::TestEngine& engine) {
  engine.Start();
  for (auto _ : state) engine.Render(kHostBlock, kHostBlock);
  state.SetItemsProcessed(state.iterations() * kHostBlock);
}

void BM_OscillatorSaw(benchmark::State& state) {
  krtest::TestEngine engine(kHostBlock);
  auto* osc = engine.root.Add<ug_oscillator2>(10);
  krtest::ApplyInputs(*osc);
  Run(state, engine);
}
BENCHMARK(BM_OscillatorSaw);

void BM_OscillatorSawStreamingPitch(benchmark::State& state) {
  krtest::TestEngine engine(kHostBlock);
  auto* pitch = engine.root.Add<SquareGate>(20);  // a pitch jumping between 0 V and 10 V
  pitch->period = 3000;
  auto* osc = engine.root.Add<ug_oscillator2>(10);
  Connect(pitch->GetPlug(0), osc->GetPlug(ug_oscillator2::PN_PITCH));
  krtest::ApplyInputs(*osc);
  Run(state, engine);
}
BENCHMARK(BM_OscillatorSawStreamingPitch);

void BM_AdsrStreamingGate(benchmark::State& state) {
  krtest::TestEngine engine(kHostBlock);
  auto* gate = engine.root.Add<SquareGate>(20);
  auto* adsr = engine.root.Add<ug_adsr>(10);
  Connect(gate->GetPlug(0), adsr->GetPlug(ug_adsr::PN_GATE));
  krtest::ApplyInputs(*adsr, {{ug_adsr::PN_DECAY, "2"}, {ug_adsr::PN_RELEASE, "2"}});
  Run(state, engine);
}
BENCHMARK(BM_AdsrStreamingGate);

void BM_OscillatorAdsrVca(benchmark::State& state) {
  krtest::TestEngine engine(kHostBlock);
  auto* gate = engine.root.Add<SquareGate>(20);
  auto* osc = engine.root.Add<ug_oscillator2>(15);
  auto* adsr = engine.root.Add<ug_adsr>(10);
  auto* vca = engine.root.Add<ug_vca>(5);
  Connect(gate->GetPlug(0), adsr->GetPlug(ug_adsr::PN_GATE));
  Connect(osc->GetPlug(ug_oscillator2::PN_OUT), vca->GetPlug(ug_vca::PN_SIGNAL));
  Connect(adsr->GetPlug(ug_adsr::PN_OUT), vca->GetPlug(ug_vca::PN_VOLUME));
  krtest::ApplyInputs(*osc);
  krtest::ApplyInputs(*adsr, {{ug_adsr::PN_DECAY, "2"}, {ug_adsr::PN_RELEASE, "2"}});
  krtest::ApplyInputs(*vca);
  Run(state, engine);
}
BENCHMARK(BM_OscillatorAdsrVca);

}  // namespace
