// Voice costs: a polyphonic Midi to CV with two gated VCAs per voice, played
// with overlapping notes (taking and stealing voices), and the same synth
// after every voice was released and suspended.
#include <benchmark/benchmark.h>

#include "support/voice_rig.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kHostBlock = 512;

std::unique_ptr<VoiceRig> MakeSynth(int polyphony) {
  auto rig = std::make_unique<VoiceRig>(kHostBlock, polyphony);
  ug_base* cv = rig->AddNamed("Midi to CV");
  auto* pitch = rig->Add<GateVca>();
  auto* velocity = rig->Add<GateVca>();
  auto* sink = rig->Add<krtest::Sink>();
  sink->unmarked = true;
  Connect(rig->feeder->GetPlug(0), cv->GetPlug(0));
  Connect(cv->GetPlug(3), pitch->GetPlug(0));
  Connect(cv->GetPlug(4), pitch->GetPlug(1));
  Connect(cv->GetPlug(3), velocity->GetPlug(0));
  Connect(cv->GetPlug(5), velocity->GetPlug(1));
  Connect(pitch->GetPlug(2), sink->GetPlug(0));
  Connect(velocity->GetPlug(2), sink->GetPlug(0));
  cv->GetPlug(9)->ApplyDefault("2");  // portamento keeps the pitch outputs streaming
  rig->Build();
  return rig;
}

void Send(VoiceRig& rig, int time, std::uint32_t message) {
  rig.feeder->GetPlug(0)->SendMidi(time, message);
  rig.feeder->GetPlug(0)->WakeReceivers();
}

void BM_VoicesPlaying(benchmark::State& state) {
  const int polyphony = static_cast<int>(state.range(0));
  auto rig = MakeSynth(polyphony);
  int note = 0;
  for (auto _ : state) {
    const int now = rig->master.now;
    // Two new notes per block and two releases: every voice busy, some stolen.
    Send(*rig, now + 17, 0x500090u | static_cast<std::uint32_t>(40 + note % 40) << 8);
    Send(*rig, now + 301, 0x500090u | static_cast<std::uint32_t>(40 + (note + 7) % 40) << 8);
    Send(*rig, now + 200, 0x400080u | static_cast<std::uint32_t>(40 + (note + 40 - 2 * polyphony) % 40) << 8);
    note += 2;
    rig->master.Process(kHostBlock);
  }
  state.SetItemsProcessed(state.iterations() * kHostBlock);
  state.counters["voices"] = polyphony;
}
BENCHMARK(BM_VoicesPlaying)->Arg(4)->Arg(16)->Arg(64);

void BM_VoicesSuspended(benchmark::State& state) {
  const int polyphony = static_cast<int>(state.range(0));
  auto rig = MakeSynth(polyphony);
  for (int i = 0; i < polyphony; ++i) Send(*rig, i, 0x500090u | static_cast<std::uint32_t>(40 + i) << 8);
  rig->master.Process(kHostBlock);
  Send(*rig, rig->master.now, 0x7BB0u);  // all notes off
  for (int i = 0; i < 8; ++i) rig->master.Process(kHostBlock);
  for (auto _ : state) rig->master.Process(kHostBlock);
  state.SetItemsProcessed(state.iterations() * kHostBlock);
  int suspended = 0;
  for (auto& v : rig->root.voices) suspended += v->suspended ? 1 : 0;
  state.counters["suspended"] = suspended;
}
BENCHMARK(BM_VoicesSuspended)->Arg(4)->Arg(64);

}  // namespace
