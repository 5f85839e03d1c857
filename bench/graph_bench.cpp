// Building a graph and running host blocks through it: a stereo patch with
// one adder, driven the way the effect object drives the engine.
#include <benchmark/benchmark.h>

#include <vector>

#include "document/container.h"
#include "document/plug2.h"
#include "engine/gui_pump.h"
#include "graph/host_io_wiring.h"
#include "graph/sound_engine.h"
#include "support/engine_blocks.h"

using namespace kr;

namespace {

// In 0 + In 1 -> Out 0 (through an adder), In 1 -> Out 1; `depth` nested
// flattened containers of relays around it.
std::unique_ptr<CContainer> StereoPatch(int depth) {
  std::unique_ptr<CContainer> root(static_cast<CContainer*>(MakeDocumentObjectByName("Container").release()));
  auto* top = static_cast<CContainer*>(&root->AddChild(MakeDocumentObjectByName("Container")));
  CPlugIO2* in0 = AddBoundaryPlug(*top, DR_IN, DT_AUDIO);
  CPlugIO2* in1 = AddBoundaryPlug(*top, DR_IN, DT_AUDIO);
  CPlugIO2* out0 = AddBoundaryPlug(*top, DR_OUT, DT_AUDIO);
  CPlugIO2* out1 = AddBoundaryPlug(*top, DR_OUT, DT_AUDIO);
  CPlug2* a = in0->Partner();
  CPlug2* sink = out0->Partner();
  CContainer* level = top;
  for (int i = 0; i < depth; ++i) {
    auto* inner = static_cast<CContainer*>(&level->AddChild(MakeDocumentObjectByName("Container")));
    CPlugIO2* innerIn = AddBoundaryPlug(*inner, DR_IN, DT_AUDIO);
    CPlugIO2* innerOut = AddBoundaryPlug(*inner, DR_OUT, DT_AUDIO);
    level->MakeWire(*a, *innerIn);
    a = innerIn->Partner();
    level->MakeWire(*innerOut, *sink);
    sink = innerOut->Partner();
    level = inner;
  }
  level->MakeWire(*a, *sink);
  top->MakeWire(*in1->Partner(), *out0->Partner());
  top->MakeWire(*in1->Partner(), *out1->Partner());
  WireTopContainer(*root, *top);
  root->AttachToParent(nullptr);
  return root;
}

void BM_StereoPatchBlocks(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  std::unique_ptr<CContainer> root = StereoPatch(4);
  GuiPump gui;
  SoundEngine engine(gui);
  krtest::EngineBlocks blocks;
  if (!engine.StartSound(*root, block)) {
    state.SkipWithError("graph refused");
    return;
  }
  std::vector<float> i0(static_cast<std::size_t>(block), 0.1f), i1(i0), o0(i0), o1(i0);
  float* ins[] = {i0.data(), i1.data()};
  float* outs[] = {o0.data(), o1.data()};
  for (auto _ : state) {
    blocks.Run(engine, ins, outs, block);
    benchmark::DoNotOptimize(o0.data());
  }
  state.SetItemsProcessed(state.iterations() * block);  // samples per second
}
BENCHMARK(BM_StereoPatchBlocks)->Arg(64)->Arg(512);

void BM_BuildGraph(benchmark::State& state) {
  std::unique_ptr<CContainer> root = StereoPatch(static_cast<int>(state.range(0)));
  GuiPump gui;
  SoundEngine engine(gui);
  for (auto _ : state) {
    engine.StartSound(*root, 512);
    engine.StopSound();
  }
}
BENCHMARK(BM_BuildGraph)->Arg(4)->Arg(64);

}  // namespace
