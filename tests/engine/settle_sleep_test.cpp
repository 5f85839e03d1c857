// Settling, sleeping, waking, suspending and cloning modules.
#include <gtest/gtest.h>

#include "engine/control_automation.h"
#include "engine/ug_control.h"
#include "support/allocation_count.h"
#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr int kSleepMark = 50;

// Streams a ramp until told (by a kSleepMark event) to hold its last value.
class HoldingRamp : public RampSource {
 public:
  void HandleEvent(ug_event* e) override {
    if (e->type == kSleepMark) {
      StartHold();
      return;
    }
    RampSource::HandleEvent(e);
  }
};

// Sends one MIDI message at a chosen time from inside its process function.
class Pinger : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Pinger>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&out, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "");
  }
  void Open() override {
    SetProcessFunction(&Pinger::Work);
    ug_base::Open();
  }
  void Work(int offset, int count) {
    if (fireAt >= clock && fireAt < clock + count) {
      GetPlug(0)->SendMidi(fireAt, 0x90);
      GetPlug(0)->WakeReceivers();
    }
  }
  MidiOutEndpoint out;
  int fireAt = -1;
};

}  // namespace

TEST(Settle, AStepKeepsAOneInOneOutModuleRunningExactlyLSamples) {
  for (int hostBlock : {1, 63, 64, 150, 441, 512, 4096}) {
    TestEngine engine(hostBlock);
    const int L = engine.L();
    auto* src = engine.root.Add<StepSource>(10);
    auto* gain = engine.root.Add<Gain>(5);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(src->GetPlug(0), gain->GetPlug(0));
    Connect(gain->GetPlug(1), tap->GetPlug(0));
    const int stepAt = 4 * L + L / 3;
    src->ScheduleStep(stepAt, 0.8f);
    engine.Start();
    engine.Render(stepAt, hostBlock);
    ASSERT_TRUE(gain->sleeping) << "settled after the start, host block " << hostBlock;
    gain->samplesRun = 0;
    engine.Render(3 * L + 7, hostBlock);
    EXPECT_EQ(gain->samplesRun, L) << "host block " << hostBlock;
    EXPECT_TRUE(gain->sleeping);
    EXPECT_FALSE(engine.IsActive(gain));
    EXPECT_FALSE(engine.IsActive(src)) << "the source held its step for a period, then slept";
    // Every position of the reused block holds the new value.
    for (std::size_t i = static_cast<std::size_t>(stepAt); i < tap->samples.size(); ++i)
      ASSERT_EQ(tap->samples[i], 0.4f) << "sample " << i << ", host block " << hostBlock;
    for (int i = 0; i < stepAt; ++i) ASSERT_EQ(tap->samples[static_cast<std::size_t>(i)], 0.0f);
  }
}

TEST(Settle, HoldRampRunsOneSampleThenHoldsForAPeriod) {
  for (int offsetInPeriod : {0, 17, 63}) {
    TestEngine engine(64);
    auto* ramp = engine.root.Add<HoldingRamp>(10);
    auto* tap = engine.root.Add<Tap>(1);
    Connect(ramp->GetPlug(0), tap->GetPlug(0));
    engine.Start();
    const int holdAt = 2 * 64 + offsetInPeriod;
    ramp->AddEvent(ramp->NewEvent(holdAt, kSleepMark), true);
    engine.Render(6 * 64, 64);
    const float held = static_cast<float>(holdAt) * 0.001f;
    EXPECT_EQ(tap->samples[static_cast<std::size_t>(holdAt - 1)], static_cast<float>(holdAt - 1) * 0.001f);
    for (std::size_t i = static_cast<std::size_t>(holdAt); i < tap->samples.size(); ++i)
      ASSERT_EQ(tap->samples[i], held) << "sample " << i << ", hold at " << holdAt;
    EXPECT_TRUE(ramp->sleeping);
    EXPECT_FALSE(engine.IsActive(ramp));
  }
}

TEST(Sleep, ASleepingModuleWokenByAnEventCatchesUpToTheClock) {
  TestEngine engine(64);
  auto* rec = engine.root.Add<Recorder>(5);
  rec->sleepy = true;
  engine.Start();
  engine.Render(256, 64);
  ASSERT_TRUE(rec->sleeping);
  const int clockWhenAsleep = rec->clock;
  EXPECT_LT(clockWhenAsleep, 256) << "a sleeping module's clock stands still";
  rec->log.clear();
  rec->AddEvent(rec->NewEvent(100, kSleepMark, 1), true);  // due in the past
  EXPECT_FALSE(rec->sleeping);
  EXPECT_EQ(rec->clock, 256);
  EXPECT_EQ(rec->events.front()->time, 256) << "stale events are re-stamped";
  rec->AddEvent(rec->NewEvent(300, kSleepMark), true);
  engine.master.Process(64);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 2u);
  EXPECT_EQ(handled[0].time, 256);
  EXPECT_EQ(handled[1].time, 300);
  EXPECT_EQ(rec->log.front().what, 'e');
}

TEST(Sleep, WokenByAnEarlierModuleJoinsTheSameSubBlock) {
  TestEngine engine(64);
  auto* pinger = engine.root.Add<Pinger>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  rec->sleepy = true;
  Connect(pinger->GetPlug(0), rec->GetPlug(2));
  engine.Start();
  engine.Render(128, 64);
  ASSERT_TRUE(rec->sleeping);
  rec->log.clear();
  pinger->fireAt = 128 + 20;
  engine.master.Process(64);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(handled[0].time, 148);
  EXPECT_EQ(rec->log.front().time, 128) << "it ran from the start of the sub-block";
}

TEST(Sleep, WokenByALaterModuleJoinsTheNextSubBlock) {
  TestEngine engine(64);
  auto* pinger = engine.root.Add<Pinger>(1);
  auto* rec = engine.root.Add<Recorder>(5);
  rec->sleepy = true;
  Connect(pinger->GetPlug(0), rec->GetPlug(2));
  engine.Start();
  engine.Render(128, 64);
  ASSERT_TRUE(rec->sleeping);
  rec->log.clear();
  pinger->fireAt = 128 + 20;
  engine.master.Process(64);
  EXPECT_TRUE(rec->log.empty()) << "already passed in this walk";
  EXPECT_EQ(rec->clock, 192);
  engine.master.Process(64);
  const auto handled = rec->EventsOnly();
  ASSERT_EQ(handled.size(), 1u);
  EXPECT_EQ(handled[0].time, 192) << "re-stamped to the sub-block it joins";
}

TEST(Suspend, LeavesTheRunAndComesBackOnResume) {
  TestEngine engine(64);
  auto* tap = engine.root.Add<Tap>(1);
  auto* stubborn = engine.root.Add<Tap>(1);
  stubborn->flags |= UGF_NEVER_SUSPEND;
  engine.Start();
  engine.master.Process(64);
  tap->Suspend();
  stubborn->Suspend();
  EXPECT_NE(tap->flags & UGF_SUSPENDED, 0u);
  EXPECT_FALSE(engine.IsActive(tap));
  EXPECT_TRUE(engine.IsActive(stubborn));
  EXPECT_EQ(stubborn->flags & UGF_SUSPENDED, 0u);
  engine.master.Process(64);
  EXPECT_EQ(tap->runs.size(), 1u);
  tap->Resume();
  EXPECT_EQ(tap->flags & UGF_SUSPENDED, 0u);
  EXPECT_TRUE(engine.IsActive(tap));
  EXPECT_EQ(tap->clock, 128);
  engine.master.Process(64);
  EXPECT_EQ(tap->runs.back(), std::make_pair(128, 64));
}

TEST(Suspend, StateChangesWhileSuspendedDoNotWakeAndStaleOnesArePruned) {
  TestEngine engine(64);
  auto* src = engine.root.Add<FloatSource>(10);
  auto* rec = engine.root.Add<Recorder>(5);
  rec->sleepy = true;
  Connect(src->GetPlug(0), rec->GetPlug(0));
  engine.Start();
  engine.Render(128, 64);
  ASSERT_TRUE(rec->sleeping);
  rec->Suspend();
  src->Step(130, 1.0f);
  src->Step(140, 2.0f);
  EXPECT_TRUE(rec->sleeping) << "no wake while suspended";
  EXPECT_EQ(rec->events.size(), 2u);
  engine.Render(128, 64);  // now in the period starting at 192
  src->Step(250, 3.0f);
  ASSERT_EQ(rec->events.size(), 2u) << "of the stale changes only the latest stays";
  EXPECT_EQ(rec->events.front()->time, 140);
  EXPECT_EQ(rec->events.back()->time, 250);
  rec->Resume();
  EXPECT_FALSE(rec->sleeping) << "resumed with events pending: woken";
  engine.master.Process(64);
  EXPECT_EQ(rec->x, 3.0f);
}

TEST(Clone, CopiesIdentityAndJoinsTheCloneChain) {
  TestEngine engine(64);
  auto* gain = engine.root.Add<Gain>(7);
  gain->handle = 99;
  gain->title = "Amp";
  gain->flags |= UGF_POLYPHONIC | UGF_OPEN | UGF_SUSPENDED;
  gain->AddPlug(std::make_unique<UPlug>(gain, DR_IN, DT_AUDIO));  // an auto-added plug
  auto first = gain->Clone();
  auto second = gain->Clone();
  EXPECT_EQ(gain->nextClone, second.get());
  EXPECT_EQ(second->nextClone, first.get());
  EXPECT_EQ(first->nextClone, nullptr);
  EXPECT_EQ(first->handle, 99);
  EXPECT_EQ(first->sortOrder, 7);
  EXPECT_EQ(first->container, gain->container);
  EXPECT_EQ(first->audioMaster, &engine.master);
  EXPECT_EQ(first->DisplayName(), "Amp");
  first->MessageBox("too loud");
  EXPECT_EQ(engine.host.boxes, std::vector<std::string>{"Amp : too loud"});
  EXPECT_EQ(first->flags, UGF_POLYPHONIC | UGF_CLONE);
  ASSERT_EQ(first->PlugCount(), 3);
  EXPECT_EQ(first->GetPlug(2)->direction, DR_IN);
  EXPECT_EQ(first->audioInCount, 2);
  EXPECT_EQ(first->audioOutCount, 1);
}

namespace {

struct Automation : ControlAutomation {
  void RegisterControl(ug_control& c) override { registered.push_back(&c); }
  void ReportControl(int time, int controller, int nrpn, float value) override {
    reports.push_back({time, controller, nrpn});
  }
  std::vector<ug_control*> registered;
  std::vector<std::array<int, 3>> reports;
};

class TestControl : public ug_control {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<TestControl>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&dummyEnum, &typeid(std::int16_t), "Channel", DR_IN, DT_ENUM, "-1");
    list.emplace_back(&midiIn, &typeid(MidiInEndpoint), "MIDI In", DR_IN, DT_MIDI, "");
    list.emplace_back(&midiOut, &typeid(MidiOutEndpoint), "MIDI Out", DR_OUT, DT_MIDI, "");
    list.emplace_back(&controllerNumber, &typeid(std::int16_t), "MIDI Controller ID", DR_PARAMETER, DT_ENUM, "-1");
  }
  void ApplyValue(int patch, bool smooth) override { applied.emplace_back(patch, smooth); }
  bool SetFromMidi(float v) override {
    midiValues.push_back(v);
    return true;
  }
  std::int16_t dummyEnum = 0;
  MidiInEndpoint midiIn;
  MidiOutEndpoint midiOut;
  std::vector<std::pair<int, bool>> applied;
  std::vector<float> midiValues;
};

}  // namespace

TEST(Control, EventsAndNotificationsMapToTheControlOperations) {
  TestEngine engine(64);
  Automation automation;
  auto* control = engine.root.Add<TestControl>(5);
  control->automation = &automation;
  control->controllerNumber = 7;
  control->nrpnNumber = 3;
  engine.Start();
  engine.master.Process(64);
  EXPECT_FALSE(engine.IsActive(control)) << "controls start with the sleep check";

  control->QueueProgramChange(70, 4);
  control->AddEvent(control->NewEvent(80, UET_CONTROL_VALUE, 0, nullptr, std::bit_cast<int>(0.75f)), true);
  engine.master.Process(64);
  EXPECT_EQ(control->applied, (std::vector<std::pair<int, bool>>{{4, false}}));
  EXPECT_EQ(control->midiValues, (std::vector<float>{0.75f}));

  control->ignoreProgramChange = true;
  control->QueueProgramChange(130, 5);
  engine.master.Process(64);
  EXPECT_EQ(control->applied.size(), 1u);

  control->OnUiNotify(1, 0);
  control->OnUiNotify(2, 0);
  EXPECT_EQ(control->applied.back(), std::make_pair(-1, false));
  ASSERT_EQ(automation.reports.size(), 1u) << "only kind 1 is reported";
  EXPECT_EQ(automation.reports[0], (std::array<int, 3>{control->clock, 7, 3}));

  auto* src = engine.root.Add<FloatSource>(9);
  (void)src;
  UPlug* id = control->GetPlug(ug_control::kControllerPlug);
  auto constant = std::make_unique<UPlug>(engine.root.io ? engine.root.io : engine.root.ConstantSourceModule(false),
                                          DR_OUT, DT_ENUM);
  constant->AllocateData();
  UPlug* source = engine.root.io->AddPlug(std::move(constant));
  Connect(source, id);
  source->SetState(200, ST_STATIC);
  engine.master.Process(64);
  // Filed when it opened, and again when its controller changed.
  ASSERT_EQ(automation.registered.size(), 2u);
  EXPECT_EQ(automation.registered[0], control);
  EXPECT_EQ(automation.registered[1], control);
}

TEST(Clone, ConnectCloneWiresACopyLikeItsPrototype) {
  TestEngine engine(64);
  engine.root.combinersAllowed = true;
  auto* shared = engine.root.Add<StepSource>(20);
  auto* voiceIn = engine.root.Add<Gain>(15);
  auto* voiceOut = engine.root.Add<Gain>(10);
  auto* tap = engine.root.Add<Tap>(1);
  shared->value = 0.5f;
  Connect(shared->GetPlug(0), voiceIn->GetPlug(0));
  Connect(voiceIn->GetPlug(1), voiceOut->GetPlug(0));
  Connect(voiceOut->GetPlug(1), tap->GetPlug(0));
  voiceIn->flags |= UGF_POLYPHONIC;
  voiceOut->flags |= UGF_POLYPHONIC;
  std::unique_ptr<ug_base> inCopy = voiceIn->Clone();
  std::unique_ptr<ug_base> outCopy = voiceOut->Clone();
  inCopy->ConnectClone(*voiceIn, 1);
  outCopy->ConnectClone(*voiceOut, 1);
  EXPECT_EQ(inCopy->GetPlug(0)->connections.front()->from, shared->GetPlug(0)) << "shared source feeds the copy";
  EXPECT_EQ(outCopy->GetPlug(0)->connections.front()->from, inCopy->GetPlug(1)) << "copies wired together";
  ASSERT_NE(tap->GetPlug(0)->redirect, nullptr) << "both voices reach the shared input through a combiner";
  EXPECT_EQ(tap->GetPlug(0)->redirect->connections.size(), 2u);
  auto* in = static_cast<Gain*>(inCopy.get());
  auto* out = static_cast<Gain*>(outCopy.get());
  in->audioMaster = out->audioMaster = &engine.master;
  engine.Start();
  in->Open();
  out->Open();
  engine.master.Process(64);
  engine.master.Process(64);
  ASSERT_EQ(tap->samples.size(), 128u);
  EXPECT_EQ(tap->samples.back(), 0.25f);
  // The copies go before the engine's modules that they refer to.
  in->Close();
  out->Close();
  outCopy.reset();
  inCopy.reset();
}

TEST(Clone, AMessageBoxFromTheAudioThreadAllocatesNothingOfItsOwn) {
  TestEngine engine(64);
  auto* gain = engine.root.Add<Gain>(7);
  gain->title = "A title longer than a short string holds";
  engine.host.boxes.reserve(4);
  const std::string text(300, 'x');
  krtest::StartCountingAllocations();
  gain->MessageBox(text);
  const int allocations = krtest::StopCountingAllocations();
  EXPECT_EQ(allocations, 1) << "only the test host's copy of the text";
  ASSERT_EQ(engine.host.boxes.size(), 1u);
  EXPECT_EQ(engine.host.boxes[0], gain->title + " : " + text);
  gain->MessageBox(std::string(9000, 'y'));
  EXPECT_EQ(engine.host.boxes[1].size(), 8192u) << "cut, not overrun";
}
