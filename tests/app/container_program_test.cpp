// Programs of containers: patch memory names, the container's own named
// parameters, and the order in which a program change reaches everything.
#include <gtest/gtest.h>

#include "app/top_container_adapter.h"
#include "document/module_parameters.h"
#include "registry/patch_select_program.h"
#include "engine/ug_base.h"
#include "support/params_support.h"

using namespace kr;

using namespace krtest;

namespace {

void* const kMark = generic_parameter::kChangeFromProgram;

TEST(PatchMemory, UnnamedPatchesAreNumberedFromOne) {
  CPatchManager memory;
  EXPECT_EQ(memory.PatchName(0), "Patch   1");
  EXPECT_EQ(memory.PatchName(127), "Patch 128");
  EXPECT_EQ(memory.PatchName(-1), "Patch   1");
  memory.SetPatchName(3, "Lead");
  memory.SetPatchName(1, "Bass");
  memory.SetPatchName(3, "Lead 2");
  EXPECT_EQ(memory.PatchName(3), "Lead 2");
  EXPECT_EQ(memory.patchNames.size(), 2u);
  EXPECT_EQ(memory.patchNames.front().first, 1);  // kept in number order
  memory.SetCurrentPatch(1);
  EXPECT_EQ(memory.PatchName(-1), "Bass");
  memory.SetPatchName(-1, "Sub");
  EXPECT_EQ(memory.PatchName(1), "Sub");
}

int g_applied = 0;
void CountApplied(CPatchManager&, std::int32_t) { ++g_applied; }

TEST(PatchMemory, SettingTheCurrentPatchAgainAppliesNothing) {
  CPatchManager::SetApplyPatchHook(&CountApplied);
  g_applied = 0;
  CPatchManager memory;
  memory.SetCurrentPatch(0);
  EXPECT_EQ(g_applied, 0);
  memory.SetCurrentPatch(9);
  memory.SetCurrentPatch(9);
  EXPECT_EQ(g_applied, 1);
  EXPECT_EQ(memory.CurrentPatch(), 9);
  CPatchManager::SetApplyPatchHook(nullptr);
}

TEST(ModuleParameters, EveryModuleHasTitleAndContainersThreeMore) {
  auto root = MakeContainer("Root");
  ASSERT_EQ(root->ParameterCount(), 4);
  EXPECT_EQ(root->ParameterAt(0)->Name(), "Title");
  EXPECT_EQ(root->ParameterAt(1)->Name(), "Skin");
  EXPECT_EQ(root->ParameterAt(2)->Name(), "Program");
  EXPECT_EQ(root->ParameterAt(3)->Name(), "Program Name");
  EXPECT_EQ(root->ParameterAt(4), nullptr);
  EXPECT_EQ(root->ParameterAt(-1), nullptr);
  EXPECT_EQ(root->ContainerParameter(parameter_cug_xtra::kProgram).Which(), 1);

  CUG module(&PlugTestEntry());
  generic_parameter* title = module.FindParameter("Title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->ValueText(), "Test Plugs");
  EXPECT_EQ(module.FindParameter("Program"), nullptr);
  std::vector<Heard> log;
  ParameterRecorder r(log, "title");
  title->AddObserver(&r);
  title->SetValueText("Osc");
  EXPECT_EQ(module.Title(), "Osc");
  module.SetTitle("Osc");  // unchanged
  module.SetTitle("Osc 2");
  EXPECT_EQ(log, (std::vector<Heard>{{"title", 31, nullptr}, {"title", 31, nullptr}}));
  title->RemoveObserver(&r);
}

TEST(ModuleParameters, SkinIsTheOneDefaultSkin) {
  auto root = MakeContainer("Root");
  generic_parameter* skin = root->FindParameter("Skin");
  EXPECT_EQ(skin->ValueText(), "0");
  EXPECT_EQ(skin->ItemList(), "default");
  EXPECT_EQ(skin->DisplayText(), "default");
  skin->SetValueText("3");  // no such skin
  EXPECT_EQ(root->skinName, "default");
}

TEST(ModuleParameters, ProgramNameListsAllProgramsFromZero) {
  auto root = MakeContainer("Root");
  root->EnsurePatchMemory().SetPatchName(2, "Pad");
  generic_parameter* name = root->FindParameter("Program Name");
  const std::string list = name->ItemList();
  EXPECT_TRUE(list.starts_with("Patch   1=0,Patch   2,Pad,Patch   4,")) << list;
  EXPECT_TRUE(list.ends_with(",Patch 128")) << list;
  EXPECT_EQ(std::count(list.begin(), list.end(), ','), 127);
  EXPECT_EQ(name->ValueText(), "Patch   1");

  root->FindParameter("Program")->SetValueText("2");
  EXPECT_EQ(name->ValueText(), "Pad");
  name->SetValueText("Strings");
  EXPECT_EQ(root->PatchMemory()->PatchName(2), "Strings");
  EXPECT_EQ(root->ProgramName(2), "Strings");
}

TEST(ModuleParameters, ProgramAcceptsOnlyZeroTo127) {
  auto root = MakeContainer("Root");
  CPatchManager& memory = root->EnsurePatchMemory();
  generic_parameter* program = root->FindParameter("Program");
  EXPECT_EQ(program->ItemList(), "range 0,127");
  for (const char* bad : {"128", "-1", "x", "99999999999"}) {
    program->SetValueText(bad);
    EXPECT_EQ(memory.CurrentPatch(), 0) << bad;
  }
  program->SetNormalisedValue(1.0f);
  EXPECT_EQ(program->ValueText(), "127");
  EXPECT_EQ(memory.CurrentPatch(), 127);
}

TEST(SetProgram, ReachesPatchMemoryAndNestedContainersExceptIgnoring) {
  auto root = MakeContainer("Root");
  CPatchManager& memory = root->EnsurePatchMemory();
  CContainer& follower = AddContainer(*root, "Follower");
  CContainer& inner = AddContainer(follower, "Inner");
  CContainer& ignoring = AddContainer(*root, "Ignoring");
  ignoring.SetFeatureValue(2, true);
  CContainer& behindIgnoring = AddContainer(ignoring, "Behind");

  root->FindParameter("Program")->SetValueText("5");
  EXPECT_EQ(memory.CurrentPatch(), 5);
  EXPECT_EQ(follower.CurrentProgram(), 5);
  EXPECT_EQ(inner.CurrentProgram(), 5);
  EXPECT_EQ(ignoring.CurrentProgram(), 0);
  EXPECT_EQ(behindIgnoring.CurrentProgram(), 0);
  EXPECT_EQ(follower.FindParameter("Program")->ValueText(), "5");
  EXPECT_EQ(follower.FindParameter("Program Name")->ValueText(), "Patch   6");
}

class ShownProgramModule final : public ug_base, public PatchSelectProgram {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ShownProgramModule>(); }
  void OnUiNotify(int kind, int value) override { told.push_back({kind, value}); }
  void PostProgramNotify(int program) override { PostNotify(kNotifyProgram, program); }
  std::vector<std::pair<int, int>> told;
};

TEST(SetProgram, NotificationsComeInOrder) {
  std::vector<Heard> log;
  ParameterRecorder top(log, "top"), program(log, "Program"), name(log, "Program Name"), nested(log, "nested"),
      slider(log, "slider"), fixed(log, "fixed"), ignoring(log, "ignoring");
  auto root = MakeContainer("Root");
  root->EnsurePatchMemory();
  // Children are listed in reverse order of adding.
  CControl& fixedControl = AddControl(*root, SliderClass(), "Fixed");
  fixedControl.FindPlug("Ignore Program Change")->SetValueText("1");
  CContainer& ignoringChild = AddContainer(*root, "Ignoring");
  ignoringChild.SetFeatureValue(2, true);
  CControl& sliderControl = AddControl(*root, SliderClass(), "Slider");
  CContainer& nestedChild = AddContainer(*root, "Nested");

  root->AddObserver(&top);
  root->FindParameter("Program")->AddObserver(&program);
  root->FindParameter("Program Name")->AddObserver(&name);
  nestedChild.AddObserver(&nested);
  sliderControl.Parameter().AddObserver(&slider);
  fixedControl.Parameter().AddObserver(&fixed);
  ignoringChild.AddObserver(&ignoring);

  root->SetProgram(3);
  const std::vector<Heard> expected = {
      {"Program", 31, kMark}, {"top", 28, nullptr},    {"Program Name", 31, kMark}, {"nested", 28, nullptr},
      {"nested", 28, nullptr}, {"slider", 31, kMark}, {"top", 28, nullptr}};
  EXPECT_EQ(log, expected);

  // The same program again: the patch memory does nothing, the rest repeats.
  log.clear();
  root->SetProgram(3);
  EXPECT_EQ(log, expected);
  root->RemoveObserver(&top);
}

TEST(SetProgram, PatchSelectIsToldOnlyOfANewProgram) {
  auto root = MakeContainer("Root");
  root->EnsurePatchMemory();
  auto patchSelect = std::make_unique<Ctl_PatchSel>();
  Ctl_PatchSel& ps = static_cast<Ctl_PatchSel&>(root->AddChild(std::move(patchSelect)));
  ShownProgramModule audio;
  ps.SetAudioObject(&audio);

  root->SetProgram(4);
  EXPECT_EQ(audio.shownProgram.load(), 4);
  root->SetProgram(4);
  audio.shownProgram.store(7);  // a program change that arrived as MIDI
  root->SetProgram(7);
  root->SetProgram(2);
  EXPECT_EQ(audio.told, (std::vector<std::pair<int, int>>{{5, 4}, {5, 2}}));
  ps.SetAudioObject(nullptr);
}

TEST(SetProgram, NestedContainerWithoutMemoryNamesFromTheNearestMemory) {
  auto root = MakeContainer("Root");
  root->EnsurePatchMemory().SetPatchName(1, "Keys");
  CContainer& nested = AddContainer(*root, "Nested");
  root->SetProgram(1);
  EXPECT_EQ(nested.FindParameter("Program Name")->ValueText(), "Keys");
  nested.FindParameter("Program Name")->SetValueText("Organ");
  EXPECT_EQ(root->ProgramName(1), "Organ");
}

// The host's program call reaches the top container's program change: the
// enclosing memory switches, the container announces "Program", and the
// containers and "Patch Select" inside it follow.
TEST(SetProgram, TheHostsProgramCallRunsTheContainersProgramChange) {
  CPatchManager::SetApplyPatchHook(&CountApplied);
  g_applied = 0;
  auto root = MakeContainer("Root");
  root->EnsurePatchMemory();
  CContainer& top = AddContainer(*root, "Synth");
  CContainer& inner = AddContainer(top, "Inner");
  auto& ps = static_cast<Ctl_PatchSel&>(top.AddChild(std::make_unique<Ctl_PatchSel>()));
  ShownProgramModule audio;
  ps.SetAudioObject(&audio);
  std::vector<Heard> log;
  ParameterRecorder program(log, "Program");
  top.FindParameter("Program")->AddObserver(&program);

  TopContainerAdapter adapter(top);
  adapter.SelectProgram(6);
  EXPECT_EQ(root->PatchMemory()->CurrentPatch(), 6);
  EXPECT_EQ(g_applied, 1) << "the memory's patch is applied";
  EXPECT_EQ(top.CurrentProgram(), 6);
  EXPECT_EQ(inner.CurrentProgram(), 6);
  EXPECT_EQ(audio.told, (std::vector<std::pair<int, int>>{{5, 6}}));
  EXPECT_EQ(log, (std::vector<Heard>{{"Program", 31, kMark}}));
  EXPECT_EQ(adapter.ProgramName(6), "Patch   7");
  adapter.RenameCurrentProgram("Pad");
  EXPECT_EQ(root->ProgramName(6), "Pad");
  top.FindParameter("Program")->RemoveObserver(&program);
  ps.SetAudioObject(nullptr);
  CPatchManager::SetApplyPatchHook(nullptr);
}

TEST(SetProgram, ContainerParametersAnnounceTheirEnd) {
  std::vector<Heard> log;
  ParameterRecorder r(log, "program");
  {
    auto root = MakeContainer("Root");
    root->FindParameter("Program")->AddObserver(&r);
  }
  EXPECT_EQ(log, (std::vector<Heard>{{"program", 8, nullptr}}));
}

}  // namespace
