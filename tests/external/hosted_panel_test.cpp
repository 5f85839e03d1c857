// A hosted plug-in's panel in a sub-panel: a grid of its parameters when it
// has no editor of its own, under the patch-selection bar whose file menu
// saves and loads the plug-in's bank; the plug-in's own editor where it has one.
#include <gtest/gtest.h>

#include "document/panel_objects.h"
#include "external/parameter_vst.h"
#include "gui/panel/hosted_panel.h"
#include "gui/panel/patch_sel_bar.h"
#include "gui/panel/portal.h"
#include "support/panel_rig.h"
#include "gui/visual/drop_down.h"
#include "gui/visual/widgets.h"
#include "hosted_support.h"

using namespace kr;

namespace {

using namespace krtest;
using namespace kr::gui;

const std::string kPanelPatch = R"({"settings": {"id": "KrHp", "panel_size": [500, 900]}, "root": {"modules": [
  {"module": "Container", "id": "top", "title": "Top", "modules": [
    {"module": "VST Plugin", "id": "vst", "title": "Hosted"}]}]}})";

class HostedPanel : public ::testing::Test {
 protected:
  // The patch with its plug-in loaded and a portal that names it.
  void Build(const std::string& plugin) {
    rig = std::make_unique<krtest::PanelRig>(kPanelPatch);
    CContainer* top = nullptr;
    for (const auto& c : rig->document->root->Children())
      if (auto* t = DynamicKind<CContainer>(c.get())) top = t;
    ASSERT_NE(top, nullptr);
    for (const auto& c : top->Children())
      if (auto* m = dynamic_cast<kr::VstPluginModule*>(c.get())) module = m;
    ASSERT_NE(module, nullptr);
    ASSERT_TRUE(module->SetPluginFile(plugin + KR_TEST_VST_SUFFIX));
    auto portal = std::make_unique<CPortal>();
    portal->text = "Hosted";
    portal->rect = {0, 0, 500, 900};
    top->AddChild(std::move(portal));
    rig->view->ClosePanel();
    rig->view->OpenPanel();
    rig->view->SetClock([this] { return now += 1000; });
  }
  CPatchSelDecorator* Decorated() { return krtest::FindWidget<CPatchSelDecorator>(*rig->view); }
  void Click(CVisualOb& ob) {
    const Point p = krtest::CentreOf(ob);
    rig->view->MouseDown(p, kLeftButton);
    rig->view->MouseUp(p, 0);
  }
  // The file menu's item at index (0 "Load Bank" ... 3 "Save Inst").
  void ChooseFromFileMenu(int index) {
    CGroup& bar = Decorated()->Bar();
    CVisualOb* file = nullptr;
    for (const auto& c : bar.Children())
      if (auto* b = dynamic_cast<CMyTextButton*>(c.get())) file = file ? file : b;
    ASSERT_NE(file, nullptr);
    Click(*file);
    ASSERT_NE(dynamic_cast<CDropDownList*>(rig->view->State().popup), nullptr);
    for (int i = 0; i <= index; ++i) rig->view->KeyDown(kKeyDown, 0);
    rig->view->KeyDown(kKeyEnter, 0);
  }

  VstPathOverride path{KR_TEST_VST_DIR};
  krtest::TempDir dir;
  std::unique_ptr<krtest::PanelRig> rig;
  kr::VstPluginModule* module = nullptr;
  std::uint32_t now = 5000;
};

TEST_F(HostedPanel, APluginWithoutAnEditorShowsItsParametersUnderTheBar) {
  Build("TestVstChunks");
  ASSERT_NE(Decorated(), nullptr);
  std::vector<std::string> labels;
  krtest::WalkTree(Decorated()->Panel(), [&](CVisualOb& ob) {
    if (auto* label = dynamic_cast<CMyTextLabel*>(&ob)) labels.push_back(label->Text());
  });
  ASSERT_GE(labels.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 3), (std::vector<std::string>{"Name", "Value", "Units"}));
  EXPECT_EQ(labels[3], "Gain");
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "Program"), 0);
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "Program Name"), 0);
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "%"), 39);  // one row per exposed parameter
}

TEST_F(HostedPanel, TheBarsFileMenuSavesAndLoadsThePluginsBank) {
  Build("TestVstChunks");
  ASSERT_NE(Decorated(), nullptr);
  const fs::path bank = dir.path() / "hosted.fxb";
  std::vector<platform::OpenFileRequest> asked;
  const auto previous = platform::SetFileChooser([&](const platform::OpenFileRequest& request) {
    asked.push_back(request);
    return std::optional<std::string>(bank.string());
  });
  module->Exposed(0)->SetNormalisedValue(0.3f);
  ChooseFromFileMenu(1);  // "Save Bank"
  EXPECT_TRUE(fs::exists(bank));
  module->Exposed(0)->SetNormalisedValue(0.9f);
  ChooseFromFileMenu(0);  // "Load Bank"
  platform::SetFileChooser(previous);
  EXPECT_FLOAT_EQ(module->Exposed(0)->NormalisedValue(), 0.3f);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_TRUE(asked[0].save);
  EXPECT_EQ(asked[1].extension, "fxb");
}

TEST_F(HostedPanel, APluginWithAnEditorShowsItThereAndHeadlessOpensNone) {
  Build("TestVst");
  auto* client = krtest::FindWidget<CControlClient_vst2>(*rig->view);
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->GetPreferredSize(), (Size{120, 200}));
  EXPECT_FALSE(client->EditorOpen());  // no window to open it in
}

}  // namespace
