// What the utility modules send to the GUI side through the DSP-to-GUI
// ring: a meter's display values, and an "OS Command"'s program, started by
// the GUI pump (never on the audio thread).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "document/cug.h"
#include "graph_support.h"
#include "support/temp_dir.h"

using namespace kr;

using namespace krtest;

TEST(GuiMessages, AMetersDisplayValuesArriveWithThePump) {
  Patch p = MakePatch(0, 0);
  CUG& level = p.Add(*p.top, kLevel);
  CUG& meter = p.Add(*p.top, "Peak Meter");
  PlugNamed(level, "Level").SetValueText("5");
  PlugNamed(meter, "Response").SetValueText("1");  // linear: peak * 100
  p.Wire(*p.top, PlugNamed(level, "Out"), PlugNamed(meter, "Signal in"));
  WireHost(p);
  Rig rig;
  std::vector<float> shown;
  rig.engine.SetDisplayHandler([&](CUG& m, float v) {
    if (&m == &meter) shown.push_back(v);
  });
  ASSERT_TRUE(rig.Start(p, 64, 0, 0));
  EXPECT_FALSE(rig.engine.DisplayValue(meter).has_value()) << "nothing before the first update";
  for (int i = 0; i < 200; ++i) rig.Block(64);  // past the second update (7350 samples)
  EXPECT_TRUE(shown.empty()) << "values wait in the ring for the GUI pump";
  rig.gui.Pump();
  ASSERT_GE(shown.size(), 2u);
  EXPECT_FLOAT_EQ(shown[0], 0.0f) << "the first update: nothing measured yet";
  EXPECT_FLOAT_EQ(shown[1], 50.0f) << "a 5 V peak, linear";
  EXPECT_FLOAT_EQ(*rig.engine.DisplayValue(meter), shown.back());
}

TEST(GuiMessages, AnOsCommandStartsItsProgramFromTheGuiPump) {
  krtest::TempDir dir;
  Patch p = MakePatch(0, 0);
  CUG& level = p.Add(*p.top, kLevel);
  CUG& command = p.Add(*p.top, "OS Command");
  PlugNamed(level, "Level").SetValueText("5");
#if defined(_WIN32)
  PlugNamed(command, "Command").SetValueText(R"(cmd.exe /c "echo x > started.txt")");
#else
  PlugNamed(command, "Command").SetValueText(R"(sh -c "echo x > started.txt")");
#endif
  p.Wire(*p.top, PlugNamed(level, "Out"), PlugNamed(command, "Trigger in"));
  WireHost(p);
  Rig rig;
  rig.engine.Launcher().SetWorkingFolder(dir.path().string());
  ASSERT_TRUE(rig.Start(p, 64, 0, 0));
  for (int i = 0; i < 4; ++i) rig.Block(64);
  const auto started = dir.path() / "started.txt";
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(std::filesystem::exists(started)) << "the audio side only asks";
  rig.gui.Pump();
  bool made = false;
  for (int i = 0; i < 500 && !made; ++i) {
    made = std::filesystem::exists(started);
    if (!made) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(made) << "one rising edge (the level steps to 5 V): one start";
  for (int i = 0; i < 500 && rig.engine.Launcher().PeriodicUpdate(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
