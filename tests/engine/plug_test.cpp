// Plugs: states, values from text, defaults, wiring and the MIDI link.
#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/kr_exception.h"
#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {
int StateChangesQueued(ug_base& m) {
  int n = 0;
  for (ug_event* e : m.events) n += e->type == UET_STAT_CHANGE;
  return n;
}
}  // namespace

TEST(PlugState, StaticTwiceAtOneTimeOnAudioNotifiesOnce) {
  TestEngine engine(64);
  auto* src = engine.root.Add<StepSource>(10);
  auto* gain = engine.root.Add<Gain>(5);
  Connect(src->GetPlug(0), gain->GetPlug(0));
  gain->ClearEvents();
  UPlug* out = src->GetPlug(0);
  out->SetState(40, ST_STATIC);
  out->SetState(40, ST_STATIC);
  EXPECT_EQ(StateChangesQueued(*gain), 1);
  EXPECT_EQ(out->state, ST_STOP) << "a step leaves the output at rest";
  EXPECT_EQ(out->staticTime, 40);
  out->SetState(41, ST_STATIC);
  EXPECT_EQ(StateChangesQueued(*gain), 2);
  out->SetState(50, ST_RUN);
  out->SetState(51, ST_RUN);
  EXPECT_EQ(StateChangesQueued(*gain), 3) << "an unchanged state is not sent again";
  EXPECT_EQ(out->staticTime, 0);
}

TEST(PlugState, StaticTwiceOnANonAudioPlugNotifiesTwice) {
  TestEngine engine(64);
  auto* src = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  Connect(src->GetPlug(0), rec->GetPlug(0));
  rec->ClearEvents();
  src->GetPlug(0)->SetState(40, ST_STATIC);
  src->GetPlug(0)->SetState(40, ST_STATIC);
  EXPECT_EQ(StateChangesQueued(*rec), 2);
}

TEST(PlugState, StatusTexts) {
  EXPECT_STREQ(GetStatString(ST_STOP), "ST_STOP");
  EXPECT_STREQ(GetStatString(ST_STATIC), "ST_STATIC");
  EXPECT_STREQ(GetStatString(ST_RUN), "ST_RUN");
  EXPECT_STREQ(GetStatString(3), "GetStatString ERROR");
  EXPECT_STREQ(GetStatString(-1), "GetStatString ERROR");
}

TEST(PlugValue, TextConvertsByDataType) {
  ug_base* none = nullptr;
  auto make = [&](PlugDataType type) {
    auto p = std::make_unique<UPlug>(none, DR_IN, type);
    p->AllocateData();
    return p;
  };
  auto e = make(DT_ENUM);
  e->SetValueFromText("12");
  EXPECT_EQ(e->EnumValue(), 12);
  e->SetValueFromText("70000");
  EXPECT_EQ(e->EnumValue(), static_cast<std::int16_t>(70000)) << "kept in 16 bits";
  auto b = make(DT_BOOL);
  b->SetValueFromText("2");
  EXPECT_TRUE(b->BoolValue());
  b->SetValueFromText("0");
  EXPECT_FALSE(b->BoolValue());
  auto f = make(DT_FLOAT);
  f->SetValueFromText("1.5");
  EXPECT_EQ(f->FloatValue(), 1.5f);
  auto d = make(DT_DOUBLE);
  d->SetValueFromText("2.25");
  EXPECT_EQ(d->DoubleValue(), 2.25);
  auto i = make(DT_INT);
  i->SetValueFromText("-7");
  EXPECT_EQ(i->IntValue(), -7);
  auto t = make(DT_TEXT);
  t->SetValueFromText("abc def");
  EXPECT_EQ(t->TextValue(), "abc def");
  auto junk = make(DT_FLOAT);
  junk->SetValueFromText("not a number");
  EXPECT_EQ(junk->FloatValue(), 0.0f);
  auto out = std::make_unique<UPlug>(none, DR_OUT, DT_AUDIO);
  out->AllocateData();
  out->SetValueFromText("5");
  for (int k = 0; k < out->Block()->length(); ++k) ASSERT_EQ(out->GetSampleBuffer()[k], 0.5f);
}

TEST(PlugDefault, TenVoltsOnAnUnconnectedAudioInputGivesSamplesOfOne) {
  TestEngine engine(64);
  auto* gain = engine.root.Add<Gain>(5);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(gain->GetPlug(1), tap->GetPlug(0));
  gain->GetPlug(0)->ApplyDefault("10");
  ASSERT_NE(engine.root.io, nullptr) << "the container's I/O module holds the constant";
  ASSERT_EQ(engine.root.io->PlugCount(), 1);
  UPlug* constant = engine.root.io->GetPlug(0);
  EXPECT_EQ(constant->direction, DR_OUT);
  EXPECT_EQ(gain->GetPlug(0)->connections.front()->from, constant);
  engine.Start();
  engine.master.Process(64);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(gain->GetPlug(0)->GetSampleBuffer()[i], 1.0f);
  engine.master.Process(64);
  ASSERT_EQ(tap->samples.size(), 128u);
  for (float s : tap->samples) ASSERT_EQ(s, 0.5f);
}

TEST(PlugDefault, OnAConnectedInputSetsTheSourceAndPassesItOnAsAStep) {
  TestEngine engine(64);
  auto* src = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  Connect(src->GetPlug(0), rec->GetPlug(0));
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  rec->GetPlug(0)->ApplyDefault("3.5");
  EXPECT_EQ(src->value, 3.5f);
  engine.master.Process(64);
  engine.master.Process(64);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(handled[0].a, UET_STAT_CHANGE);
  EXPECT_EQ(handled[0].b, ST_STATIC);
  EXPECT_EQ(rec->x, 3.5f);
  EXPECT_EQ(src->GetPlug(0)->flags & UPF_VALUE_CHANGED, 0u);
}

TEST(PlugWiring, ASecondSourceWithoutACombinerIsAnEngineError) {
  TestEngine engine(64);
  auto* a = engine.root.Add<StepSource>(10);
  auto* b = engine.root.Add<StepSource>(10);
  auto* tap = engine.root.Add<Tap>(1);
  Connect(a->GetPlug(0), tap->GetPlug(0));
  try {
    Connect(b->GetPlug(0), tap->GetPlug(0));
    FAIL() << "expected KrException";
  } catch (const KrException& e) {
    EXPECT_EQ(e.code, KR_ERR_NO_COMBINER);
    EXPECT_EQ(e.first, b);
    EXPECT_EQ(e.second, tap);
  }
  ASSERT_EQ(tap->GetPlug(0)->connections.size(), 1u) << "the first wire stays";
  EXPECT_EQ(tap->GetPlug(0)->connections.front()->from, a->GetPlug(0));
}

TEST(PlugWiring, ASecondSourceGoesThroughACombinerAndBothAreHeard) {
  TestEngine engine(64);
  engine.root.combinersAllowed = true;
  auto* a = engine.root.Add<StepSource>(10);
  auto* b = engine.root.Add<StepSource>(10);
  auto* c = engine.root.Add<StepSource>(10);
  auto* tap = engine.root.Add<Tap>(1);
  a->value = 0.25f;
  b->value = 0.5f;
  c->value = 0.125f;
  Connect(a->GetPlug(0), tap->GetPlug(0));
  Connect(b->GetPlug(0), tap->GetPlug(0));
  UPlug* in = tap->GetPlug(0);
  ASSERT_NE(in->redirect, nullptr);
  EXPECT_EQ(in->connections.size(), 1u);
  Connect(c->GetPlug(0), tap->GetPlug(0));  // joins the same combiner
  EXPECT_EQ(in->redirect->connections.size(), 3u);
  engine.Start();
  engine.master.Process(64);
  ASSERT_EQ(tap->samples.size(), 64u);
  for (float s : tap->samples) ASSERT_EQ(s, 0.875f);
}

TEST(PlugWiring, BadPlugIndexIsAnInvalidArgument) {
  TestEngine engine(64);
  auto* gain = engine.root.Add<Gain>(5);
  EXPECT_THROW(gain->GetPlug(2), std::invalid_argument);
  EXPECT_THROW(gain->GetPlug(-1), std::invalid_argument);
  EXPECT_NO_THROW(gain->GetPlug(1));
}

TEST(PlugWiring, DisconnectDropsPendingStateChangesOfThatWire) {
  TestEngine engine(64);
  auto* a = engine.root.Add<FloatSource>(10);
  auto* b = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  Connect(a->GetPlug(0), rec->GetPlug(0));
  Connect(b->GetPlug(0), rec->GetPlug(1));
  rec->ClearEvents();
  a->Step(5, 1.0f);
  b->Step(5, 2.0f);
  ASSERT_EQ(StateChangesQueued(*rec), 2);
  Disconnect(rec->GetPlug(0)->connections.front());
  EXPECT_EQ(StateChangesQueued(*rec), 1);
  EXPECT_TRUE(a->GetPlug(0)->connections.empty());
  EXPECT_TRUE(rec->GetPlug(0)->connections.empty());
}

TEST(PlugWiring, IntegerInputKeepsItsBoundMemberAndReceivesTheValue) {
  struct IntSink : ug_base {
    std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<IntSink>(); }
    void ListInterface(InterfaceList& list) override {
      list.emplace_back(&value, &typeid(int), "In", DR_IN, DT_INT, "0");
    }
    std::int32_t value = 0;
  };
  struct IntSource : ug_base {
    std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<IntSource>(); }
    void ListInterface(InterfaceList& list) override {
      list.emplace_back(&value, &typeid(int), "Out", DR_OUT, DT_INT, "0");
    }
    std::int32_t value = 0;
  };
  TestEngine engine(64);
  auto* src = engine.root.Add<IntSource>(10);
  auto* sink = engine.root.Add<IntSink>(5);
  src->value = 42;
  Connect(src->GetPlug(0), sink->GetPlug(0));
  EXPECT_EQ(sink->value, 42);
  EXPECT_EQ(sink->GetPlug(0)->data, &sink->value);
  engine.Start();
  src->value = 43;
  src->GetPlug(0)->SetState(10, ST_STATIC);
  engine.master.Process(64);
  EXPECT_EQ(sink->value, 43);
}

TEST(MidiLink, ChannelFilterPassesItsChannelAllChannelsAndSystemMessages) {
  TestEngine engine(64);
  auto* src = engine.root.Add<MidiSource>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  UPlug* out = src->GetPlug(0);
  out->SendMidi(0, 0x90);  // never connected: nothing
  EXPECT_TRUE(rec->events.empty());
  Connect(out, rec->GetPlug(2));
  EXPECT_EQ(src->out.plug, out);
  EXPECT_EQ(rec->midi.plug, rec->GetPlug(2));
  rec->midi.channel = 2;
  engine.Start();
  out->SendMidi(10, 0x403C92);  // note on, channel 3 (index 2)
  out->SendMidi(10, 0x403C93);  // channel 4: filtered
  out->SendMidi(10, 0xF8);      // clock: never filtered
  out->SendMidi(10, 0x403C82);
  rec->midi.channel = -1;
  out->SendMidi(20, 0x403C95);
  engine.master.Process(64);
  std::vector<int> got;
  for (const auto& e : rec->EventsOnly())
    if (e.a == UET_MIDI) got.push_back(e.b);
  EXPECT_EQ(got, (std::vector<int>{0x403C92, 0xF8, 0x403C82, 0x403C95}));
}

TEST(MidiLink, WakeReceiversWakesASleepingReceiver) {
  TestEngine engine(64);
  auto* src = engine.root.Add<MidiSource>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  rec->sleepy = true;
  Connect(src->GetPlug(0), rec->GetPlug(2));
  engine.Start();
  engine.Render(256, 64);
  ASSERT_TRUE(rec->sleeping);
  ASSERT_FALSE(engine.IsActive(rec));
  src->GetPlug(0)->WakeReceivers();
  EXPECT_FALSE(rec->sleeping);
  EXPECT_TRUE(engine.IsActive(rec));
  EXPECT_EQ(rec->clock, 256);
}
