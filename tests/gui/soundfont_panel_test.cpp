// The SoundFont modules' panel: the file typed or browsed for, and "Bank"
// and "Patch" choosers offering what the file holds.
#include <gtest/gtest.h>

#include "document/controls.h"
#include "gui/panel/soundfont_panel.h"
#include "gui/visual/widgets.h"
#include "support/panel_rig.h"
#include "support/sample_rig.h"

using namespace kr;

namespace {

using namespace kr::gui;

TEST(SoundFontChoices, BanksAndThePresetsOfABank) {
  const std::vector<PresetEntry> presets = {
      {0, 5, "Strings, soft"}, {128, 0, "Drums"}, {0, 1, "Piano=2"}, {8, 1, "Piano B"}};
  EXPECT_EQ(BankItems(presets), "Bank 0=0,Bank 8=8,Bank 128=128") << "each bank once, in order";
  EXPECT_EQ(PatchItems(presets, 0), "1 Piano 2=1,5 Strings  soft=5") << "by program; no ',' or '=' inside a label";
  EXPECT_EQ(PatchItems(presets, 128), "0 Drums=0");
  EXPECT_EQ(PatchItems(presets, 3), "");
}

// Serves the folder's files, as the plug-in serves its own.
struct FileValues : PanelValues {
  kr::ModuleFiles* Files() override { return &files; }
  krtest::FolderFiles files;
};

const char* kFontPatch = R"({
  "kestrune_patch": 1,
  "settings": { "id": "KrSf", "panel_size": [200, 120] },
  "root": { "modules": [ { "module": "Container", "id": "top", "modules": [
    { "module": "Soundfont Player", "id": "font", "title": "Font", "panel_rect": [4, 4, 190, 110],
      "control_values": ["one.sf2"] }
  ] } ] }
})";

TEST(SoundFontChoices, ChoosersOfferTheFilesPresetsAndFollowANewFile) {
  krtest::TempDir dir;
  krtest::FontSpec first = krtest::RampFont(64, 8, 32);
  first.bank = 8;
  first.program = 3;
  krtest::FontSpec second = first;
  second.bank = 0;
  second.program = 7;
  const auto write = [&](const char* name, const krtest::FontSpec& f) {
    const auto bytes = krtest::MakeFont(f);
    std::ofstream(dir.path() / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  write("one.sf2", first);
  write("two.sf2", second);
  auto values = std::make_unique<FileValues>();
  values->files.folder = dir.path();
  krtest::PanelRig rig(kFontPatch, krtest::kGuiData, -1, std::move(values));

  std::vector<CMyCombobox*> boxes;
  CSoundFontChoosers* choosers = nullptr;
  krtest::WalkTree(*rig.view, [&](CVisualOb& ob) {
    if (auto* c = dynamic_cast<CMyCombobox*>(&ob)) boxes.push_back(c);
    if (auto* c = dynamic_cast<CSoundFontChoosers*>(&ob)) choosers = c;
  });
  ASSERT_NE(choosers, nullptr);
  ASSERT_EQ(boxes.size(), 2u);
  ASSERT_EQ(choosers->Presets().size(), 1u);
  EXPECT_EQ(choosers->Presets()[0].bank, 8);

  // Choose the bank from the list, then the patch: both land on the plugs.
  auto& control = dynamic_cast<CControl&>(*choosers->Parent()->Parent()->GetDocObject());
  const auto choose = [&](CMyCombobox& box, int row) {
    const kr::gui::Point at = box.RootPosition();
    rig.view->MouseDown({at.x + 4, at.y + 4}, kLeftButton);
    rig.view->MouseUp({at.x + 4, at.y + 4}, 0);
    // The value is none of the file's items: nothing is highlighted yet.
    for (int i = 0; i <= row; ++i) rig.view->KeyDown(kKeyDown, 0);
    rig.view->KeyDown(kKeyEnter, 0);
  };
  choose(*boxes[0], 0);
  EXPECT_EQ(control.FindPlug("Bank")->ValueText(), "8");
  choose(*boxes[1], 0);
  EXPECT_EQ(control.FindPlug("Patch")->ValueText(), "3");
  EXPECT_EQ(rig.view->Children().size(), 1u) << "the lists closed";

  // A new file name: the choosers read the new file.
  control.SetValueText("two.sf2");
  rig.view->Refresh();
  ASSERT_EQ(choosers->Presets().size(), 1u);
  EXPECT_EQ(choosers->Presets()[0].program, 7);
}

}  // namespace
