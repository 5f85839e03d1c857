// The marking passes and voice tags used to find per-voice modules, and the
// values Open delivers.
#include <gtest/gtest.h>

#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

// note -> a -> b -> tap, and shared -> b's control... built from gains:
// a "Signal in" is a control input here (no PF_SIGNAL), so marks reach it.
struct Graph {
  Graph() : engine(64) {
    note = engine.root.Add<StepSource>(30);
    a = engine.root.Add<Gain>(20);
    b = engine.root.Add<Gain>(10);
    shared = engine.root.Add<StepSource>(30);
    c = engine.root.Add<Gain>(20);
    tap = engine.root.Add<Tap>(1);
    Connect(note->GetPlug(0), a->GetPlug(0));
    Connect(a->GetPlug(1), b->GetPlug(0));
    Connect(shared->GetPlug(0), c->GetPlug(0));
    Connect(b->GetPlug(1), tap->GetPlug(0));
  }
  TestEngine engine;
  StepSource* note;
  Gain* a;
  Gain* b;
  StepSource* shared;
  Gain* c;
  Tap* tap;
};

}  // namespace

TEST(Marking, DownstreamMarksModulesAndInputsReachedFromTheSource) {
  Graph g;
  g.tap->flags |= UGF_NO_MARKING;  // like the host I/O modules: the walk stops here
  g.note->MarkDownstream();
  EXPECT_NE(g.a->flags & UGF_DOWN_MARK, 0u);
  EXPECT_NE(g.b->flags & UGF_DOWN_MARK, 0u);
  EXPECT_EQ(g.tap->flags & UGF_DOWN_MARK, 0u);
  EXPECT_NE(g.tap->GetPlug(0)->flags & UPF_VOICE, 0u) << "the input is marked even where the walk stops";
  EXPECT_EQ(g.c->flags & UGF_DOWN_MARK, 0u);
  EXPECT_TRUE(g.a->HasMarkedInput());
  EXPECT_TRUE(g.b->HasMarkedInput());
  EXPECT_FALSE(g.tap->HasMarkedInput()) << "a signal input is not a control input";
  EXPECT_FALSE(g.c->HasMarkedInput());

  g.b->MarkUpstream();
  EXPECT_NE(g.b->flags & UGF_UP_MARK, 0u);
  EXPECT_NE(g.a->flags & UGF_UP_MARK, 0u);
  EXPECT_NE(g.note->flags & UGF_UP_MARK, 0u);
  EXPECT_EQ(g.shared->flags & UGF_UP_MARK, 0u) << "only modules with the downstream mark";
}

TEST(Marking, VoiceTagsPropagateAndConflictToZero) {
  TestEngine engine(64);
  auto* s = engine.root.Add<StepSource>(30);
  auto* g1 = engine.root.Add<Gain>(20);
  auto* g2 = engine.root.Add<Gain>(20);
  auto* io = engine.root.Add<StepSource>(40);
  Connect(s->GetPlug(0), g1->GetPlug(0));
  Connect(s->GetPlug(0), g2->GetPlug(0));
  io->flags |= UGF_NO_MARKING;
  g1->PropagateVoiceUp(1);
  EXPECT_EQ(g1->voiceTag, 1);
  EXPECT_EQ(s->voiceTag, 1);
  g2->PropagateVoiceUp(2);
  EXPECT_EQ(g2->voiceTag, 2);
  EXPECT_EQ(s->voiceTag, 0) << "reached with two different tags";
  EXPECT_EQ(io->voiceTag, -1);
  io->PropagateVoiceDown(5);
  EXPECT_EQ(io->voiceTag, -1) << "flag 0x40 blocks the tags";

  TestEngine other(64);
  auto* t = other.root.Add<StepSource>(30);
  auto* h1 = other.root.Add<Gain>(20);
  auto* h2 = other.root.Add<Gain>(20);
  Connect(t->GetPlug(0), h1->GetPlug(0));
  Connect(t->GetPlug(0), h2->GetPlug(0));
  h2->container = nullptr;  // in another container: not reached downwards
  t->PropagateVoiceDown(3);
  EXPECT_EQ(t->voiceTag, 3);
  EXPECT_EQ(h1->voiceTag, 3);
  EXPECT_EQ(h2->voiceTag, -1);
}

TEST(OpenDelivery, InputsGetTheirSourcesValuesAndStatesAtOpen) {
  struct Settings : Recorder {
    void ListInterface(InterfaceList& list) override {
      Recorder::ListInterface(list);
      list.emplace_back(&mode, &typeid(std::int16_t), "Mode", DR_PARAMETER, DT_ENUM, "0");
    }
    void OnPlugStateChange(int time, connector* c, PlugState state) override { states.push_back(state); }
    std::int16_t mode = 0;
    std::vector<PlugState> states;
  };
  TestEngine engine(64);
  auto* rec = engine.root.Add<Settings>(5);
  rec->GetPlug(3)->ApplyDefault("4");
  rec->GetPlug(0)->ApplyDefault("2.5");
  EXPECT_EQ(rec->mode, 4) << "copied across when connected";
  rec->ClearEvents();
  rec->mode = 0;
  rec->x = 0.0f;
  engine.Start();
  EXPECT_EQ(rec->mode, 4) << "copied again at Open";
  EXPECT_EQ(rec->x, 2.5f);
  engine.master.Process(64);
  EXPECT_EQ(rec->states, (std::vector<PlugState>{ST_STATIC, ST_STATIC}));
  EXPECT_NE(rec->flags & UGF_OPEN, 0u);
  EXPECT_EQ(rec->settleCount, 64);
  rec->Close();
  EXPECT_EQ(rec->flags & UGF_OPEN, 0u);
}
