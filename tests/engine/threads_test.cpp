// The GUI side posting while the audio side processes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/engine_modules.h"

using namespace kr;

using namespace krtest;

namespace {

class Counter : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Counter>(); }
  void Open() override {
    SetProcessFunction(&ug_base::SleepCheck);
    ug_base::Open();
  }
  void OnUiNotify(int kind, int value) override {
    if (value != expected) outOfOrder = true;
    ++expected;
  }
  int expected = 0;
  bool outOfOrder = false;
};

}  // namespace

// Notifications posted from another thread all arrive, in order, whether the
// engine defers them to the audio thread or they are dispatched directly.
TEST(Threads, NotificationsFromTheGuiThreadArriveInOrder) {
  for (bool defer : {true, false}) {
    TestEngine engine(64);
    auto* counter = engine.root.Add<Counter>(5);
    engine.Start();
    engine.master.deferToAudio = defer;
    constexpr int kPosts = 3000;
    std::atomic<bool> done{false};
    std::thread gui([&] {
      for (int i = 0; i < kPosts; ++i) counter->PostNotify(1, i);
      done = true;
    });
    while (!done) engine.master.Process(64);
    gui.join();
    engine.master.Process(64);
    engine.master.Process(64);
    EXPECT_EQ(counter->expected, kPosts) << "defer " << defer;
    EXPECT_FALSE(counter->outOfOrder);
  }
}
