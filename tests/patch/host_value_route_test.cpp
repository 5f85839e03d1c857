// The one way in for host values: the thread rule that picks the route, and
// the inbox that carries values from other threads to the audio side.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "patch/host_parameter.h"
#include "patch/host_value_inbox.h"

using namespace kr;

namespace {

struct InboxTarget final : HostValueTarget {
  void SetFromHost(float normalised) override { values.push_back(normalised); }
  std::vector<float> values;
};

class RouteProbe final : public HostParameter {
 public:
  std::string Name() const override { return "Probe"; }
  std::string Display() const override { return {}; }
  std::string Label() const override { return {}; }
  float Value() const override { return value_; }
  bool CanBeAutomated() const override { return true; }
  std::uint8_t Kind() const override { return 0; }
  void Attach(kr::HostServices&, int) override {}
  std::vector<std::string> routes;

 protected:
  void SetValue(float v) override {
    routes.push_back("document");
    value_ = v;
  }
  void SetValueThroughAudioSide(float v) override {
    routes.push_back("audio side");
    value_ = v;
  }

 private:
  float value_ = 0.25f;
};

TEST(HostValueRoute, ThreadRuleChoosesTheRouteAndIgnoresAnUnchangedValue) {
  RouteProbe p;
  p.SetFromHost(0.25f, {true, false});  // the value it has: nothing happens
  EXPECT_TRUE(p.routes.empty());
  p.SetFromHost(0.5f, {true, true});    // GUI thread while sound runs
  p.SetFromHost(0.6f, {false, false});  // another thread, no sound
  p.SetFromHost(0.7f, {false, true});   // GUI thread, no sound
  p.SetFromHost(0.8f, {true, false});   // another thread while sound runs
  EXPECT_EQ(p.routes, (std::vector<std::string>{"document", "document", "document", "audio side"}));
}

TEST(HostValueInbox, DeliversTheLatestValueOnceInSlotOrderToBoundTargetsOnly) {
  kr::HostValueInbox inbox;
  kr::HostValueSlot& first = inbox.NewSlot();
  kr::HostValueSlot& second = inbox.NewSlot();
  kr::HostValueSlot& unbound = inbox.NewSlot();
  InboxTarget target;
  first.Bind(&target);
  second.Bind(&target);

  inbox.Deliver();  // nothing waiting
  EXPECT_TRUE(target.values.empty());

  second.Leave(0.75f);
  first.Leave(0.1f);
  first.Leave(0.2f);  // the latest wins
  unbound.Leave(0.9f);
  inbox.Deliver();
  EXPECT_EQ(target.values, (std::vector<float>{0.2f, 0.75f}));
  inbox.Deliver();  // taken once
  EXPECT_EQ(target.values.size(), 2u);

  // Unbound before sound stops: a value left meanwhile goes nowhere.
  first.Bind(nullptr);
  first.Leave(0.3f);
  inbox.Deliver();
  EXPECT_EQ(target.values.size(), 2u);
}

TEST(HostValueInbox, ValuesLeftFromAnotherThreadArriveExactly) {
  kr::HostValueInbox inbox;
  kr::HostValueSlot& slot = inbox.NewSlot();
  InboxTarget target;
  slot.Bind(&target);
  constexpr float kLast = 0.123456789f;
  std::thread host([&] {
    for (int i = 0; i < 1000; ++i) slot.Leave(static_cast<float>(i) / 1000.0f);
    slot.Leave(kLast);
  });
  while (target.values.empty() || target.values.back() != kLast) inbox.Deliver();
  host.join();
  for (float v : target.values) EXPECT_TRUE(v == kLast || (v >= 0.0f && v < 1.0f));
}

}  // namespace
