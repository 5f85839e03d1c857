// The audio master: active list, GUI messages, notifications, host time.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

class Notified : public Recorder {
 public:
  void OnUiNotify(int kind, int value) override { notes.push_back({clock, kind, value}); }
  std::vector<std::array<int, 3>> notes;
};

class TimeAsker : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TimeAsker>(); }
  void Open() override {
    SetProcessFunction(&TimeAsker::Ask);
    ug_base::Open();
  }
  void Ask(int, int) { answers.push_back(audioMaster->GetTimeInfo(filter)); }
  std::int32_t filter = vst::kVstPpqPosValid | vst::kVstBarsValid;
  std::vector<std::optional<vst::VstTimeInfo>> answers;
};

// A GUI-side message target that records the bodies it gets.
struct Target : dsp_msg_target {
  void OnGuiMessage(std::int32_t id, my_input_stream& stream) override { got.emplace_back(id, stream.ReadInt()); }
  std::vector<std::pair<std::int32_t, std::int32_t>> got;
};

void Post(KrAudioMaster& master, std::int32_t handle, std::int32_t value) {
  my_msg_que_output_stream out(master.guiToDsp, handle, MsgId("test"));
  out << value;
  out.Send();
}

}  // namespace

TEST(ActiveList, InsertKeepsDescendingOrderAndRemoveKeepsTheNextLink) {
  TestEngine engine(64);
  auto* a = engine.root.Add<Tap>(9);
  auto* b = engine.root.Add<Tap>(5);
  auto* c = engine.root.Add<Tap>(1);
  engine.Start();
  engine.master.Remove(b);
  EXPECT_EQ(engine.master.insertHint, nullptr);
  EXPECT_EQ(b->prev, nullptr);
  EXPECT_EQ(b->next, c) << "a walk standing on a removed module goes on";
  EXPECT_EQ(engine.ActiveList(), (std::vector<EventProcessor*>{a, c}));
  engine.master.Remove(b);  // not listed: nothing happens
  engine.master.Remove(a);
  EXPECT_EQ(engine.master.activeHead, c);
  engine.master.Insert(b);
  engine.master.Insert(a);
  engine.master.Insert(a);  // already listed: nothing happens
  EXPECT_EQ(engine.ActiveList(), (std::vector<EventProcessor*>{a, b, c}));
  EXPECT_EQ(engine.master.insertHint, a);
}

TEST(GuiMessages, DeferredWhileRunningAndDispatchedAtTheNextBlock) {
  TestEngine engine(64);
  Target target;
  engine.master.RegisterTarget(77, &target);
  engine.Start();
  engine.master.deferToAudio = true;
  Post(engine.master, 77, 5);
  EXPECT_TRUE(target.got.empty());
  EXPECT_TRUE(engine.master.pumpRequested);
  EXPECT_TRUE(engine.master.attention);
  engine.master.Process(64);
  ASSERT_EQ(target.got.size(), 1u);
  EXPECT_EQ(target.got[0], std::make_pair(MsgId("test"), 5));
  EXPECT_FALSE(engine.master.pumpRequested);
}

TEST(GuiMessages, DispatchedDirectlyWhenNotDeferring) {
  TestEngine engine(64);
  Target target;
  engine.master.RegisterTarget(77, &target);
  Post(engine.master, 77, 1);  // not running
  engine.Start();
  engine.master.deferToAudio = false;
  Post(engine.master, 77, 2);  // running, not deferring
  engine.master.directAllowed = false;
  Post(engine.master, 77, 3);  // neither: waits for the pump
  ASSERT_EQ(target.got.size(), 2u);
  engine.master.DispatchGuiMessages();
  ASSERT_EQ(target.got.size(), 3u);
  EXPECT_EQ(target.got[2].second, 3);
}

TEST(GuiMessages, AnUnknownHandleDropsWhatIsQueuedAndLaterMessagesStillArrive) {
  TestEngine engine(64);
  Target target;
  engine.master.RegisterTarget(77, &target);
  engine.Start();
  engine.master.deferToAudio = true;
  Post(engine.master, 12345, 1);
  Post(engine.master, 77, 2);
  engine.master.Process(64);
  EXPECT_TRUE(target.got.empty());
  EXPECT_TRUE(engine.master.guiToDsp.IsEmpty());
  Post(engine.master, 77, 3);
  engine.master.Process(64);
  ASSERT_EQ(target.got.size(), 1u);
  EXPECT_EQ(target.got[0].second, 3);
}

TEST(Notify, BecomesAnEventAtTheCurrentTimeWhileRunning) {
  TestEngine engine(64);
  auto* m = engine.root.Add<Notified>(5);
  m->sleepy = true;
  engine.Start();
  engine.Render(192, 64);
  ASSERT_TRUE(m->sleeping);
  engine.master.deferToAudio = true;
  m->PostNotify(1, 42);
  EXPECT_TRUE(m->notes.empty());
  engine.master.Process(64);
  ASSERT_EQ(m->notes.size(), 1u);
  EXPECT_EQ(m->notes[0], (std::array<int, 3>{192, 1, 42}));
  const auto handled = m->EventsOnly();
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(handled[0].a, UET_UI_NOTIFY);
}

TEST(Notify, CallsTheModuleAtOnceWhenTheEngineIsNotRunning) {
  TestEngine engine(64);
  auto* m = engine.root.Add<Notified>(5);
  m->PostNotify(2, 7);
  ASSERT_EQ(m->notes.size(), 1u);
  EXPECT_EQ(m->notes[0], (std::array<int, 3>{0, 2, 7}));
  EXPECT_TRUE(m->events.empty());
}

TEST(Notify, FromInsideABlockSkipsTheQueue) {
  struct SelfNotifier : Notified {
    void Open() override {
      SetProcessFunction(&SelfNotifier::Work2);
      ug_base::Open();
    }
    void Work2(int, int) {
      if (!posted) PostNotify(3, 9);
      posted = true;
    }
    bool posted = false;
  };
  TestEngine engine(64);
  auto* m = engine.root.Add<SelfNotifier>(5);
  engine.Start();
  engine.master.deferToAudio = true;
  engine.master.Process(64);
  EXPECT_TRUE(engine.master.guiToDsp.IsEmpty());
  engine.master.Process(64);
  ASSERT_EQ(m->notes.size(), 1u);
  EXPECT_EQ(m->notes[0][1], 3);
}

TEST(HostTime, CorrectedToTheStartOfTheSubBlockPeriod) {
  TestEngine engine(512);  // L = 128
  engine.host.info.samplePos = 1000.0;
  engine.host.info.ppqPos = 2.0;
  engine.host.info.tempo = 120.0;
  engine.host.info.flags = vst::kVstTempoValid;
  auto* asker = engine.root.Add<TimeAsker>(5);
  engine.Start();
  engine.master.Process(512);
  EXPECT_EQ(engine.host.lastFilter, vst::kVstPpqPosValid | vst::kVstBarsValid);
  ASSERT_EQ(asker->answers.size(), 4u);
  ASSERT_TRUE(asker->answers[0].has_value());
  EXPECT_EQ(asker->answers[0]->samplePos, 1000.0);
  EXPECT_EQ(asker->answers[0]->ppqPos, 2.0);
  EXPECT_EQ(asker->answers[0]->samplesToNextClock, 0);
  const vst::VstTimeInfo& second = *asker->answers[1];
  EXPECT_EQ(second.samplePos, 1128.0);
  const double h = 120.0 * 24.0 / (44100.0 * 60.0);
  const double clocks = 2.0 * 24.0 + 128.0 * h;
  EXPECT_DOUBLE_EQ(second.ppqPos, clocks / 24.0);
  EXPECT_EQ(second.barStartPos, 2.0);
  EXPECT_EQ(second.samplesToNextClock, static_cast<std::int32_t>((std::floor(clocks) - clocks) / h));
  EXPECT_LE(second.samplesToNextClock, 0);
  EXPECT_NE(second.flags & vst::kVstPpqPosValid, 0);
  EXPECT_EQ(asker->answers[3]->samplePos, 1000.0 + 384.0);
}

TEST(HostTime, NoneFromTheHostAndNoTempoAreHandled) {
  TestEngine engine(64);
  auto* asker = engine.root.Add<TimeAsker>(5);
  engine.host.hasTime = false;
  engine.Start();
  engine.master.Process(64);
  ASSERT_EQ(asker->answers.size(), 1u);
  EXPECT_FALSE(asker->answers[0].has_value());
  engine.host.hasTime = true;
  engine.host.info.tempo = 0.0;  // a host with no tempo must not divide by zero
  engine.host.info.ppqPos = 1.5;
  engine.master.Process(64);
  ASSERT_TRUE(asker->answers[1].has_value());
  EXPECT_EQ(asker->answers[1]->samplesToNextClock, 0);
}

TEST(Requests, ParameterRefreshRunsAtTheNextBlock) {
  TestEngine engine(64);
  engine.Start();
  engine.master.RequestParameterRefresh();
  EXPECT_EQ(engine.host.refreshes, 0);
  engine.master.Process(64);
  EXPECT_EQ(engine.host.refreshes, 1);
  engine.master.Process(64);
  EXPECT_EQ(engine.host.refreshes, 1);
}

TEST(Requests, StopIsAcknowledgedAfterABlockAndLaterBlocksDoNothing) {
  TestEngine engine(64);
  auto* tap = engine.root.Add<Tap>(1);
  engine.Start();
  engine.master.RequestStop();
  EXPECT_TRUE(engine.master.stopAck);
  engine.master.Process(64);
  EXPECT_FALSE(engine.master.running);
  engine.master.Process(64);
  EXPECT_EQ(tap->runs.size(), 1u);
}

TEST(Requests, HeartbeatRestoresDeferralEveryQuarterSecond) {
  TestEngine engine(64);
  engine.host.rate = 1000.0;
  auto* tap = engine.root.Add<Tap>(5);
  engine.Start();
  tap->QueueCall(10, &KrAudioMaster::DeferralHeartbeat);
  engine.master.deferToAudio = false;
  engine.master.Process(64);
  EXPECT_TRUE(engine.master.deferToAudio);
  ASSERT_EQ(tap->events.size(), 1u);
  EXPECT_EQ(tap->events.front()->time, 260);
}

TEST(GuiMessages, AFullQueueStopsDeferringAndDispatchesOnTheWritingThread) {
  TestEngine engine(64);
  Target target;
  engine.master.RegisterTarget(77, &target);
  engine.Start();
  engine.master.deferToAudio = true;
  // 12 bytes per message: 341 fit in 4095 bytes, the next one waits, then
  // makes room by handling the oldest message here.
  for (int i = 0; i < 342; ++i) Post(engine.master, 77, i);
  EXPECT_FALSE(engine.master.deferToAudio);
  ASSERT_GE(target.got.size(), 1u);
  EXPECT_EQ(target.got[0].second, 0);
  engine.master.Process(64);
  ASSERT_EQ(target.got.size(), 342u);
  for (int i = 0; i < 342; ++i) ASSERT_EQ(target.got[static_cast<std::size_t>(i)].second, i);
}
