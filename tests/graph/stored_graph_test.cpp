// Patches written by our document writer and read back play as built: the
// boundary pairs, wires and host modules survive the archive.
#include <gtest/gtest.h>

#include <vector>

#include "document/container.h"
#include "document/document_file.h"
#include "document/plug2.h"
#include "engine/gui_pump.h"
#include "graph/host_io_wiring.h"
#include "graph/sound_engine.h"
#include "modules/mix/ug_adder.h"
#include "support/engine_blocks.h"

using namespace kr;

namespace {

struct Built {
  std::unique_ptr<CContainer> root;
  CContainer* top = nullptr;
  std::vector<CPlugIO2*> ins, outs;
};

Built MakeTop(int inputs, int outputs) {
  Built b;
  b.root.reset(static_cast<CContainer*>(MakeDocumentObjectByName("Container").release()));
  auto top = MakeDocumentObjectByName("Container");
  top->SetTitle("Synth");
  b.top = static_cast<CContainer*>(&b.root->AddChild(std::move(top)));
  for (int i = 0; i < inputs; ++i) b.ins.push_back(AddBoundaryPlug(*b.top, DR_IN, DT_AUDIO));
  for (int i = 0; i < outputs; ++i) b.outs.push_back(AddBoundaryPlug(*b.top, DR_OUT, DT_AUDIO));
  return b;
}

std::unique_ptr<CContainer> RoundTrip(Built& built) {
  WireTopContainer(*built.root, *built.top);
  StoredDocument doc;
  doc.root = std::move(built.root);
  const std::vector<std::uint8_t> bytes = WriteDocument(doc);
  DocumentLoadResult loaded = ReadDocument(bytes, LoadMode::Full);
  if (loaded.document == nullptr) return nullptr;
  return std::move(loaded.document->root);
}

CContainer* FirstContainer(CContainer& root) {
  for (const auto& c : root.Children())
    if (auto* container = DynamicKind<CContainer>(c.get())) return container;
  return nullptr;
}

struct Player {
  explicit Player(CContainer& root, int ins, int outs, int block) : top(FirstContainer(root)) {
    started = engine.StartSound(root, block);
    inputs.assign(static_cast<std::size_t>(ins), std::vector<float>(static_cast<std::size_t>(block)));
    outputs.assign(static_cast<std::size_t>(outs), std::vector<float>(static_cast<std::size_t>(block)));
  }
  void Block() {
    std::vector<float*> in, out;
    for (auto& v : inputs) in.push_back(v.data());
    for (auto& v : outputs) out.push_back(v.data());
    blocks.Run(engine, in, out, static_cast<int>(inputs.empty() ? outputs[0].size() : inputs[0].size()));
  }
  CContainer* top;
  GuiPump gui;
  SoundEngine engine{gui};
  krtest::EngineBlocks blocks;
  bool started = false;
  std::vector<std::vector<float>> inputs, outputs;
};

}  // namespace

TEST(StoredGraph, RelayOnlyStereoPatchPassesTheHostInputThrough) {
  Built b = MakeTop(2, 2);
  for (int c = 0; c < 2; ++c) b.top->MakeWire(*b.ins[c]->Partner(), *b.outs[c]->Partner());
  std::unique_ptr<CContainer> root = RoundTrip(b);
  ASSERT_NE(root, nullptr);
  const HostChannelCounts counts = CountHostChannels(*FirstContainer(*root));
  EXPECT_EQ(counts.inputs, 2);
  EXPECT_EQ(counts.outputs, 2);
  Player player(*root, 2, 2, 100);
  ASSERT_TRUE(player.started);
  for (int block = 0; block < 3; ++block) {
    for (int i = 0; i < 100; ++i) {
      player.inputs[0][static_cast<std::size_t>(i)] = static_cast<float>(block * 100 + i);
      player.inputs[1][static_cast<std::size_t>(i)] = -static_cast<float>(i);
    }
    player.Block();
    EXPECT_EQ(player.outputs[0], player.inputs[0]);
    EXPECT_EQ(player.outputs[1], player.inputs[1]);
  }
}

TEST(StoredGraph, TwoInputsIntoOneOutputMeetInOneFloatAdder) {
  Built b = MakeTop(2, 1);
  b.top->MakeWire(*b.ins[0]->Partner(), *b.outs[0]->Partner());
  b.top->MakeWire(*b.ins[1]->Partner(), *b.outs[0]->Partner());
  std::unique_ptr<CContainer> root = RoundTrip(b);
  ASSERT_NE(root, nullptr);
  Player player(*root, 2, 1, 64);
  ASSERT_TRUE(player.started);
  std::vector<ug_base*> all;
  player.engine.Root()->CollectModules(all);
  EXPECT_EQ(std::count_if(all.begin(), all.end(), [](ug_base* m) { return dynamic_cast<ug_adder*>(m) != nullptr; }), 1);
  for (int i = 0; i < 64; ++i) {
    player.inputs[0][static_cast<std::size_t>(i)] = 0.5f;
    player.inputs[1][static_cast<std::size_t>(i)] = static_cast<float>(i) * 0.01f;
  }
  player.Block();
  for (int i = 0; i < 64; ++i) ASSERT_FLOAT_EQ(player.outputs[0][static_cast<std::size_t>(i)], 0.5f + static_cast<float>(i) * 0.01f);
}

TEST(StoredGraph, DisabledInnerContainerLeavesItsOutputAtItsValue) {
  Built b = MakeTop(1, 1);
  auto inner = MakeDocumentObjectByName("Container");
  auto* innerContainer = static_cast<CContainer*>(&b.top->AddChild(std::move(inner)));
  CPlugIO2* innerIn = AddBoundaryPlug(*innerContainer, DR_IN, DT_AUDIO);
  CPlugIO2* innerOut = AddBoundaryPlug(*innerContainer, DR_OUT, DT_AUDIO);
  innerContainer->MakeWire(*innerIn->Partner(), *innerOut->Partner());
  b.top->MakeWire(*b.ins[0]->Partner(), *innerIn);
  b.top->MakeWire(*innerOut, *b.outs[0]->Partner());
  innerContainer->SetDisabled(true);
  std::unique_ptr<CContainer> root = RoundTrip(b);
  ASSERT_NE(root, nullptr);
  Player player(*root, 1, 1, 64);
  ASSERT_TRUE(player.started);
  std::fill(player.inputs[0].begin(), player.inputs[0].end(), 0.7f);
  player.Block();
  player.Block();
  for (float s : player.outputs[0]) ASSERT_EQ(s, 0.0f);
}
