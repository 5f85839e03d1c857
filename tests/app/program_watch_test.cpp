// The shell watches the top container's "Program" parameter to follow
// program changes made inside the plug-in.
#include <gtest/gtest.h>

#include "app/top_container_adapter.h"
#include "support/params_support.h"

using namespace kr;

using namespace krtest;

namespace {

struct CountingWatcher final : ParamWatcher {
  void OnWatchedValueChanged() override { ++changes; }
  int changes = 0;
};

TEST(ProgramWatch, ChangesReachTheWatcherWithTheNewText) {
  auto root = MakeContainer("Root");
  CContainer& top = AddContainer(*root, "Synth");
  top.EnsurePatchMemory();
  CountingWatcher watcher;
  TopContainerAdapter adapter(top);
  ASSERT_TRUE(adapter.WatchProgramParameter(watcher));
  EXPECT_EQ(adapter.ProgramParameterText(), "0");
  top.SetProgram(5);
  EXPECT_EQ(watcher.changes, 1);
  EXPECT_EQ(adapter.ProgramParameterText(), "5");
  top.SetSkinName("default");  // other parameters are not watched
  EXPECT_EQ(watcher.changes, 1);
}

TEST(ProgramWatch, EitherSideMayGoFirst) {
  CountingWatcher watcher;
  {
    auto top = MakeContainer("Synth");
    auto adapter = std::make_unique<TopContainerAdapter>(*top);
    adapter->WatchProgramParameter(watcher);
    top.reset();  // the parameter goes: the bridge forgets it
    adapter.reset();
  }
  {
    auto top = MakeContainer("Synth");
    auto adapter = std::make_unique<TopContainerAdapter>(*top);
    adapter->WatchProgramParameter(watcher);
    adapter.reset();  // the bridge leaves the parameter
    top->SetProgram(3);
  }
  EXPECT_EQ(watcher.changes, 0);
}

}  // namespace
