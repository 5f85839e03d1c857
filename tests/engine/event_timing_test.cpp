// Events reach modules at their exact sample, whatever the host block size.
#include <gtest/gtest.h>

#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kMark = 50;  // an event type no base handler knows

// Samples processed before the first entry for event type at time.
int SamplesBefore(const Recorder& r, int type, int time) {
  int samples = 0;
  for (const auto& e : r.log) {
    if (e.what == 'e' && e.a == type && e.time == time) return samples;
    if (e.what == 'p') samples += e.b;
  }
  return -1;
}

}  // namespace

TEST(EventTiming, EventIsHandledBeforeItsSampleForEveryHostBlockSize) {
  for (int hostBlock : {1, 63, 64, 150, 441, 512, 4096}) {
    TestEngine engine(hostBlock);
    auto* rec = engine.root.Add<Recorder>(1);
    engine.Start();
    const int L = engine.L();
    // One event at a sub-block start, one at the last sample of a sub-block, one inside.
    const int times[] = {L * 3, L * 5 - 1, L * 7 + L / 2};
    for (int t : times) rec->AddEvent(rec->NewEvent(t, kMark, t), true);
    engine.Render(L * 9, hostBlock);
    for (int t : times) {
      EXPECT_EQ(SamplesBefore(*rec, kMark, t), t) << "host block " << hostBlock << ", event at " << t;
    }
    // Nothing of the same instant is processed before the handler: the
    // stretch after the event starts exactly at the event.
    for (std::size_t i = 0; i + 1 < rec->log.size(); ++i) {
      const auto& e = rec->log[i];
      if (e.what != 'e' || e.a != kMark) continue;
      const auto& after = rec->log[i + 1];
      EXPECT_EQ(after.what, 'p');
      EXPECT_EQ(after.time, e.time);
      EXPECT_EQ(after.a, e.time % L) << "buffer index is time minus period start";
    }
  }
}

TEST(EventTiming, EventAtSubBlockStartComesBeforeAnySampleOfThatSubBlock) {
  TestEngine engine(64);
  auto* rec = engine.root.Add<Recorder>(1);
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  rec->AddEvent(rec->NewEvent(64, kMark), true);
  engine.master.Process(64);
  ASSERT_EQ(rec->log.size(), 2u);
  EXPECT_EQ(rec->log[0].what, 'e');
  EXPECT_EQ(rec->log[0].time, 64);
  EXPECT_EQ(rec->log[1].what, 'p');
  EXPECT_EQ(rec->log[1].a, 0);
  EXPECT_EQ(rec->log[1].b, 64);
}

TEST(EventTiming, EventAtTheLastSampleSplitsTheCall) {
  TestEngine engine(64);
  auto* rec = engine.root.Add<Recorder>(1);
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  rec->AddEvent(rec->NewEvent(127, kMark), true);
  engine.master.Process(64);
  ASSERT_EQ(rec->log.size(), 3u);
  EXPECT_EQ(rec->log[0].what, 'p');
  EXPECT_EQ(rec->log[0].b, 63);
  EXPECT_EQ(rec->log[1].what, 'e');
  EXPECT_EQ(rec->log[1].time, 127);
  EXPECT_EQ(rec->log[2].what, 'p');
  EXPECT_EQ(rec->log[2].a, 63);
  EXPECT_EQ(rec->log[2].b, 1);
}

TEST(EventTiming, ValuesOfOneInstantAreAllStoredBeforeAnyHandler) {
  TestEngine engine(64);
  auto* a = engine.root.Add<FloatSource>(10);
  auto* b = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(1);
  Connect(a->GetPlug(0), rec->GetPlug(0));
  Connect(b->GetPlug(0), rec->GetPlug(1));
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  a->Step(70, 1.5f);
  b->Step(70, 2.5f);
  engine.master.Process(64);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 2u);
  for (const auto& e : handled) {
    EXPECT_EQ(e.a, UET_STAT_CHANGE);
    EXPECT_EQ(e.time, 70);
    EXPECT_EQ(e.x, 1.5f);
    EXPECT_EQ(e.y, 2.5f);
  }
  EXPECT_EQ(rec->GetPlug(0)->state, ST_STOP) << "a step leaves the input at rest";
}

TEST(EventTiming, EventsOfOneTimeKeepTheOrderTheyWereAdded) {
  TestEngine engine(64);
  auto* rec = engine.root.Add<Recorder>(1);
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  for (int v : {1, 2, 3}) rec->AddEvent(rec->NewEvent(80, kMark, v), true);
  rec->AddEvent(rec->NewEvent(70, kMark, 0), true);
  engine.master.Process(64);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(handled[i].b, i);
}

TEST(EventTiming, StaleEventRunsAtTheClockInsteadOfANegativeStretch) {
  TestEngine engine(64);
  auto* rec = engine.root.Add<Recorder>(1);
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  rec->AddEvent(rec->NewEvent(10, kMark), true);  // already in the past
  engine.master.Process(64);
  ASSERT_GE(rec->log.size(), 2u);
  EXPECT_EQ(rec->log[0].what, 'e');
  EXPECT_EQ(rec->log[0].time, 64);
  for (const auto& e : rec->log)
    if (e.what == 'p') {
      EXPECT_GT(e.b, 0);
    }
}

TEST(EventTiming, SetPlugValueAndCallEvents) {
  TestEngine engine(64);
  auto* src = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(1);
  Connect(src->GetPlug(0), rec->GetPlug(0));
  engine.Start();
  engine.master.Process(64);
  rec->log.clear();
  ug_event* set = src->NewEvent(90, UET_SET_PLUG_VALUE, 0, src->GetPlug(0), std::bit_cast<int>(0.25f));
  src->AddEvent(set, true);
  static int calledAt = -1;
  src->QueueCall(100, [](ug_base& m) { calledAt = m.clock; });
  engine.master.Process(64);
  EXPECT_EQ(src->value, 0.25f);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(handled[0].time, 90);
  EXPECT_EQ(handled[0].x, 0.25f);
  EXPECT_EQ(calledAt, 100);
}

TEST(EventList, OrdersByUnsignedTime) {
  EventProcessor p;
  const int times[] = {5, static_cast<int>(0x80000000u), 3, 5, 0x7FFFFFFF};
  int tag = 0;
  for (int t : times) p.AddEvent(p.NewEvent(t, kMark, tag++), false);
  std::vector<int> order;
  for (ug_event* e : p.events) order.push_back(e->value);
  EXPECT_EQ(order, (std::vector<int>{2, 0, 3, 4, 1}));
}

TEST(EventList, CatchUpRestampsOnlyOlderEvents) {
  EventProcessor p;
  for (int t : {3, 7, 20}) p.AddEvent(p.NewEvent(t, kMark), false);
  p.CatchUp(10);
  std::vector<int> times;
  for (ug_event* e : p.events) times.push_back(e->time);
  EXPECT_EQ(times, (std::vector<int>{10, 10, 20}));
  EXPECT_EQ(p.clock, 10);
}

TEST(EventList, EventTypeNames) {
  EXPECT_EQ(EventTypeName(0), "UET_STAT_CHANGE");
  EXPECT_EQ(EventTypeName(2), "UET_MIDI");
  EXPECT_EQ(EventTypeName(5), "UET_UI_NOTIFY");
  EXPECT_EQ(EventTypeName(6), "UET_PROG_CHANGE");
  EXPECT_EQ(EventTypeName(7), "UnKnowen");
  EXPECT_EQ(EventTypeName(21), "UnKnowen");
  EXPECT_EQ(EventTypeName(-1), "UnKnowen");
}

TEST(EventPoolUse, SteadyStateProcessingDoesNotGrowThePool) {
  TestEngine engine(64);
  auto* a = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(1);
  Connect(a->GetPlug(0), rec->GetPlug(0));
  engine.Start();
  auto stepEveryBlock = [&](int blocks) {
    for (int i = 0; i < blocks; ++i) {
      const int now = engine.master.now;
      for (int k = 0; k < 8; ++k) a->Step(now + k * 7, static_cast<float>(k));
      rec->AddEvent(rec->NewEvent(now + 3, kMark), true);
      engine.master.Process(64);
      rec->log.clear();
    }
  };
  stepEveryBlock(10);
  const auto growths = engine.master.Events().Growths();
  stepEveryBlock(2000);
  EXPECT_EQ(engine.master.Events().Growths(), growths);
  EXPECT_EQ(engine.master.Events().InUse(), 0u) << "every handled event went back to the pool";
}


namespace {

// A flood of events beyond the engine's reserve: the pool does not grow on
// the audio thread; the excess is dropped and counted, and the engine plays on.
TEST(EventPoolLimits, AFloodBeyondTheReserveIsDroppedNotAllocated) {
  krtest::TestEngine engine(64);
  auto* rec = engine.root.Add<krtest::Recorder>(1);
  engine.Start();
  const std::size_t capacity = engine.master.Events().Capacity();
  ASSERT_GE(capacity, EventPool::kEngineReserve);
  for (std::size_t i = 0; i < capacity + 500; ++i) rec->AddEvent(rec->NewEvent(engine.master.now + 10, 1000), true);
  EXPECT_EQ(engine.master.Events().Capacity(), capacity);
  EXPECT_EQ(engine.master.Events().Dropped(), 500u);
  engine.master.Process(64);
  EXPECT_EQ(rec->EventsOnly().size(), capacity) << "what fitted was handled";
  rec->log.clear();
  rec->AddEvent(rec->NewEvent(engine.master.now + 5, 1001), true);
  engine.master.Process(64);
  ASSERT_EQ(rec->EventsOnly().size(), 1u) << "events flow again once the pool has room";
}

// The audio thread never waits for a GUI-thread dispatch: a block that
// arrives while one is under way is skipped (its caller hears silence) and
// the clocks stay where they were.
class ProcessDuringDispatch final : public dsp_msg_target {
 public:
  explicit ProcessDuringDispatch(KrAudioMaster& master) : master_(master) {}
  void OnGuiMessage(std::int32_t, my_input_stream&) override {
    const int before = master_.now;
    master_.Process(64);
    clockMoved = master_.now != before;
  }
  bool clockMoved = true;

 private:
  KrAudioMaster& master_;
};

TEST(GuiDispatch, ABlockArrivingDuringAGuiDispatchIsSkippedNotWaitedFor) {
  krtest::TestEngine engine(64);
  engine.root.Add<krtest::Recorder>(1);
  engine.Start();
  ProcessDuringDispatch target(engine.master);
  engine.master.RegisterTarget(77, &target);
  my_msg_que_output_stream(engine.master.GuiToDsp(), 77, kMsgNotify).Send();
  engine.master.RequestDispatch();  // no block runs: dispatched here, on the GUI side
  EXPECT_FALSE(target.clockMoved);
  EXPECT_EQ(engine.master.SkippedBlocks(), 1);
  engine.master.Process(64);
  EXPECT_EQ(engine.master.now, 64) << "the next block plays";
  engine.master.UnregisterTarget(77);
}

}  // namespace
