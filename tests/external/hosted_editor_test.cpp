// A hosted plug-in's own editor in a real X11 window (under an Xvfb the test
// starts; skipped without one): it opens in a child window of ours inside
// the panel's window, at the panel's place and the size it asks for, is
// idled from the GUI side, and is closed before the plug-in is unloaded.
#include <gtest/gtest.h>

#if KR_HAVE_X11

// Ours first: Xlib's macros would rename our names.
#include "hosted_support.h"
#include "support/xvfb.h"

#include <X11/Xlib.h>

namespace {

using namespace krtest;

TEST(HostedEditor, OpensInAChildOfOursAndClosesBeforeThePluginGoes) {
  krtest::Xvfb x;
  if (!x.Connection()) GTEST_SKIP() << "Xvfb is not installed (or did not start)";
  Display* d = x.Connection();
  const ::Window parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 300, 300, 0, 0, 0);
  XMapWindow(d, parent);
  XSync(d, False);

  VstPathOverride path{KR_TEST_VST_DIR};
  VstLog log(TestVst("TestVst"));
  HostedRig rig(HostingPatch(std::string(R"("plugin": "TestVst)") + KR_TEST_VST_SUFFIX + "\""));
  ASSERT_TRUE(rig.ok());
  kr::VstPluginModule& m = *rig.Module();
  log.Clear();
  ASSERT_TRUE(m.OpenHostedEditor(reinterpret_cast<void*>(parent), 10, 20));
  ASSERT_NE(m.EditorWindow(), nullptr);
  EXPECT_TRUE(log.Has("editor open"));
  EXPECT_EQ(log.Stat("sizeWindow"), 1);  // asked from inside effEditOpen: given
  XSync(d, False);
  XWindowAttributes a{};
  XGetWindowAttributes(d, static_cast<::Window>(m.EditorWindow()->Handle()), &a);
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(a.y, 20);
  EXPECT_EQ(a.width, 320);
  EXPECT_EQ(a.height, 160);
  EXPECT_FALSE(m.OpenHostedEditor(reinterpret_cast<void*>(parent), 0, 0));  // "Can't open VST Panel twice"
  rig.App().PumpGuiMessages();
  EXPECT_GE(log.Stat("editorIdle"), 1);
  ASSERT_TRUE(m.SetPluginFile(""));  // unloads
  const auto lines = log.Lines();
  const auto closeEditor = std::find(lines.begin(), lines.end(), "editor close");
  const auto close = std::find(lines.begin(), lines.end(), "close");
  ASSERT_NE(closeEditor, lines.end());
  EXPECT_LT(closeEditor, close);
  EXPECT_EQ(m.EditorWindow(), nullptr);
  XDestroyWindow(d, parent);
}

}  // namespace

#endif  // KR_HAVE_X11
