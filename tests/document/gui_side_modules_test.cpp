// The modules that compute on the GUI thread, each in a small patch: a
// panel widget or another module moves a value, and what the module
// computes reaches the value its link is wired to.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "document/container.h"
#include "document/cug.h"
#include "document/document_builder.h"
#include "document/module_file_opener.h"
#include "document/plug2.h"
#include "document/ui/gui_side_logic.h"
#include "gui/panel/panel_values.h"
#include "platform/platform.h"
#include "registry/module_registry.h"
#include "support/environment_override.h"
#include "support/temp_dir.h"
#include "test_modules.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace krtest {
using namespace kr;

namespace {

// A patch of GUI-side modules and widgets in one container.
class GuiPatch : public ::testing::Test {
 protected:
  CUG& Add(std::string_view name) { return builder_.AddModule(builder_.Root(), name); }
  CLine2& Wire(CUG& from, std::string_view fromPlug, CUG& to, std::string_view toPlug) {
    return builder_.Connect(builder_.Plug(from, fromPlug), builder_.Plug(to, toPlug));
  }
  void Finish() { document_ = builder_.Finish(); }

  static std::string Value(const CUG& module, std::string_view plug) { return Find(module, plug).ValueText(); }
  static double Number(const CUG& module, std::string_view plug) { return std::stod(Value(module, plug)); }
  // Set as something else would: another module, a program change.
  static void Set(CUG& module, std::string_view plug, std::string_view text) { Find(module, plug).SetValueText(text); }
  // Moved on the panel: the widget writes where its link leads.
  void Move(CUG& widget, std::string_view plug, const std::string& text) { panel_.SetPlugValue(Find(widget, plug), text); }
  std::string Shown(CUG& widget, std::string_view plug) { return panel_.PlugValue(Find(widget, plug)); }

  static CPlug2& Find(const CUG& module, std::string_view plug) {
    CPlug2* p = module.FindPlug(plug);
    if (p == nullptr) throw BuildError("no plug " + std::string(plug));
    return *p;
  }

  DocumentBuilder builder_;
  std::unique_ptr<StoredDocument> document_;
  kr::gui::PanelValues panel_;
};

using GuiSideModules = GuiPatch;

TEST_F(GuiSideModules, ImageToFrameGivesTheNearestFrameAndMovesTheImageBack) {
  CUG& image = Add("Image");
  CUG& frames = Add("Image to Frame");
  CUG& number = Add("Int to List");  // its "In" holds the frame number
  Wire(image, "Animation Position", frames, "Animation Position");
  Wire(frames, "Frame Number", number, "In");
  Set(frames, "Frame Count", "5");
  Finish();
  Move(image, "Animation Position", "0.49");
  EXPECT_EQ(Value(number, "In"), "2");
  Move(image, "Animation Position", "0.5");
  EXPECT_EQ(Value(number, "In"), "2");  // 2.5 truncated
  Move(image, "Animation Position", "0.63");
  EXPECT_EQ(Value(number, "In"), "3");
  Set(frames, "Frame Count", "2");  // alone recomputes nothing
  EXPECT_EQ(Value(number, "In"), "3");
  Set(frames, "Frame Count", "5");
  Set(number, "In", "4");
  EXPECT_EQ(Shown(image, "Animation Position"), "1");
  Set(frames, "Frame Count", "1");  // one frame: divided by 1
  Set(number, "In", "0");
  EXPECT_EQ(Shown(image, "Animation Position"), "0");
}

TEST_F(GuiSideModules, FloatToBoolSplitsAtZeroAndTrueComesBackAsTen) {
  CUG& toBool = Add("Float To Bool");
  CUG& hub = Add("Bool Splitter");
  Set(toBool, "In", "3");
  Wire(toBool, "Out", hub, "In");
  Set(toBool, "In", "3");
  Finish();
  Set(toBool, "In", "0.5");
  EXPECT_EQ(Value(hub, "In"), "1");
  Set(toBool, "In", "-1");
  EXPECT_EQ(Value(hub, "In"), "0");
  Set(hub, "In", "1");
  EXPECT_EQ(Number(toBool, "In"), 10);
  Set(hub, "In", "0");
  EXPECT_EQ(Number(toBool, "In"), 0);
}

TEST_F(GuiSideModules, BoolSplitterCopiesToEveryOutputAndGrowsASpare) {
  CUG& splitter = Add("Bool Splitter");
  ASSERT_EQ(splitter.Plugs().size(), 2u);
  EXPECT_EQ(splitter.Plugs()[1]->Name(), "Spare");
  EXPECT_EQ(splitter.Plugs()[1]->Flags() & (PF_RENAME | PF_AUTO_DUPLICATE), PF_RENAME | PF_AUTO_DUPLICATE);
  CUG& a = Add("Increment2");
  CUG& b = Add("Increment2");
  builder_.Connect(*splitter.Plugs()[1], builder_.Plug(a, "Wrap"));
  ASSERT_EQ(splitter.Plugs().size(), 3u);  // wiring the last spare added one
  builder_.Connect(*splitter.Plugs()[2], builder_.Plug(b, "Wrap"));
  EXPECT_EQ(splitter.Plugs().size(), 4u);
  Finish();
  Set(splitter, "In", "1");
  EXPECT_EQ(Value(a, "Wrap"), "1");
  EXPECT_EQ(Value(b, "Wrap"), "1");
  Set(a, "Wrap", "0");  // set at one end: "In" follows and reaches the others
  EXPECT_EQ(Value(splitter, "In"), "0");
  EXPECT_EQ(Value(b, "Wrap"), "0");
}

TEST_F(GuiSideModules, ListToBoolsLightsOneOutputForTheListValue) {
  CUG& lights = Add("List To Bools");
  CUG* targets[3];
  for (int i = 0; i < 3; ++i) {
    targets[i] = &Add("Increment2");
    builder_.Connect(*lights.Plugs()[static_cast<std::size_t>(i) + 1], builder_.Plug(*targets[i], "Wrap"));
  }
  Finish();
  Set(lights, "List", "2");
  EXPECT_EQ(Value(*targets[2], "Wrap"), "1");
  Set(lights, "List", "0");
  EXPECT_EQ(Value(*targets[0], "Wrap"), "1");
  EXPECT_EQ(Value(*targets[2], "Wrap"), "0");  // the one lit before goes off
  Set(*targets[1], "Wrap", "1");  // an output turned on elsewhere picks its value
  EXPECT_EQ(Value(lights, "List"), "1");
  Set(*targets[1], "Wrap", "0");  // false is ignored
  EXPECT_EQ(Value(lights, "List"), "1");
}

TEST_F(GuiSideModules, BoolsToListMakesAnInputPerItemAndSelectsByIt) {
  CUG& bools = Add("Bools to List");
  CUG& command = Add("System Command2");  // "Command" holds a list of 7 verbs
  Set(command, "Command", "4");
  Wire(bools, "Value", command, "Command");
  ASSERT_EQ(bools.Plugs().size(), 8u);
  EXPECT_EQ(bools.Plugs()[2]->Name(), "edit");
  EXPECT_EQ(bools.Plugs()[2]->Direction(), DR_IN);
  EXPECT_EQ(bools.Plugs()[2]->DataType(), DT_BOOL);
  EXPECT_EQ(Value(bools, "open"), "1");
  Finish();
  Set(bools, "explore", "1");
  EXPECT_EQ(Value(command, "Command"), "2");
  EXPECT_EQ(Value(bools, "open"), "0");
  Set(command, "Command", "6");
  EXPECT_EQ(Value(bools, "properties"), "1");
  EXPECT_EQ(Value(bools, "explore"), "0");
}

TEST_F(GuiSideModules, IncrementStepsTheLinkedListOnReleaseOnly) {
  CUG& button = Add("Image");
  CUG& hub = Add("Bool Splitter");  // holds the button's state
  CUG& stepper = Add("Increment");
  CUG& places = Add("Text To Float");  // "Decimal Places": -1, 0, 1 ... 10
  Wire(button, "Mouse Down", hub, "In");
  Wire(stepper, "Increment", hub, "In");
  Wire(stepper, "Value", places, "Decimal Places");
  Finish();
  Set(places, "Decimal Places", "9");
  Move(button, "Mouse Down", "1");
  EXPECT_EQ(Value(places, "Decimal Places"), "9");  // a press changes nothing
  Move(button, "Mouse Down", "0");
  EXPECT_EQ(Value(places, "Decimal Places"), "10");
  Move(button, "Mouse Down", "1");
  Move(button, "Mouse Down", "0");
  EXPECT_EQ(Value(places, "Decimal Places"), "10");  // the last item, no wrap
  Set(stepper, "Wrap", "1");
  Move(button, "Mouse Down", "1");
  Move(button, "Mouse Down", "0");
  EXPECT_EQ(Value(places, "Decimal Places"), "-1");
}

TEST_F(GuiSideModules, Increment2StepsDownOnItsOwnRelease) {
  CUG& stepper = Add("Increment2");
  CUG& places = Add("Text To Float");
  Wire(stepper, "Value", places, "Decimal Places");
  Finish();
  Set(places, "Decimal Places", "1");
  Set(stepper, "Decrement", "1");
  Set(stepper, "Decrement", "0");
  EXPECT_EQ(Value(places, "Decimal Places"), "0");
  Set(places, "Decimal Places", "-1");
  Set(stepper, "Wrap", "1");
  Set(stepper, "Decrement", "1");
  Set(stepper, "Decrement", "0");
  EXPECT_EQ(Value(places, "Decimal Places"), "10");  // the first item wraps to the last
}

TEST(ListStepping, FindsNeighboursEndsAndValuesNotListed) {
  const char* list = "a=3,b=5,c=9";
  EXPECT_EQ(ui::SteppedValue(list, 3, true, false), 5);
  EXPECT_EQ(ui::SteppedValue(list, 9, true, false), 9);
  EXPECT_EQ(ui::SteppedValue(list, 9, true, true), 3);
  EXPECT_EQ(ui::SteppedValue(list, 3, false, false), 3);
  EXPECT_EQ(ui::SteppedValue(list, 3, false, true), 9);
  EXPECT_EQ(ui::SteppedValue(list, 5, false, false), 3);
  EXPECT_EQ(ui::SteppedValue(list, 4, true, false), 3);  // not listed: next is the first
  EXPECT_EQ(ui::SteppedValue(list, 4, false, false), 9);  // previous is the last
  EXPECT_EQ(ui::SteppedValue("", 4, true, true), 4);
  // A wide range is stepped without walking it.
  const char* wide = "range -5,2000000000";
  EXPECT_EQ(ui::SteppedValue(wide, 7, true, false), 8);
  EXPECT_EQ(ui::SteppedValue(wide, 2000000000, true, true), -5);
  EXPECT_EQ(ui::SteppedValue(wide, -5, false, false), -5);
  EXPECT_EQ(ui::SteppedValue(wide, -5, false, true), 2000000000);
  EXPECT_EQ(ui::SteppedValue(wide, -9, false, false), 2000000000);
}

TEST_F(GuiSideModules, IntToListWritesThePositionOfTheMatchingItem) {
  CUG& toList = Add("Int to List");
  CUG& places = Add("Text To Float");  // the item holding 3 is the fifth
  Wire(toList, "Out", places, "Decimal Places");
  Finish();
  Set(toList, "In", "3");
  EXPECT_EQ(Value(places, "Decimal Places"), "4");
  Set(toList, "In", "42");  // no match writes nothing
  EXPECT_EQ(Value(places, "Decimal Places"), "4");
  Set(places, "Decimal Places", "2");
  EXPECT_EQ(Value(toList, "In"), "1");  // the value of the item at position 2
  Set(places, "Decimal Places", "40");  // past the list
  EXPECT_EQ(Value(toList, "In"), "1");
}

TEST_F(GuiSideModules, SpringSnapsTheControlBackOnRelease) {
  CUG& knob = Add("Image");
  CUG& level = Add("PatchMemFloatIn");
  CUG& hub = Add("Bool Splitter");
  CUG& spring = Add("Spring");
  Wire(knob, "Animation Position", level, "Animation Position");
  Wire(knob, "Mouse Down", hub, "In");
  Wire(spring, "Normalised Value", level, "Animation Position");
  Wire(spring, "Mouse Down", hub, "In");
  Set(spring, "Reset Value", "0.5");
  Finish();
  Move(knob, "Mouse Down", "1");
  Move(knob, "Animation Position", "0.9");
  EXPECT_EQ(Number(level, "Value"), 9);
  Move(knob, "Mouse Down", "0");
  EXPECT_EQ(Shown(knob, "Animation Position"), "0.5");
  EXPECT_EQ(Number(level, "Value"), 5);
}

TEST_F(GuiSideModules, TextToFloatReadsTextAndShowsTheNumberWithItsPlaces) {
  CUG& entry = Add("Text Entry2");
  CUG& convert = Add("Text To Float");
  CUG& level = Add("PatchMemFloatIn");
  Wire(entry, "Text", convert, "Text");
  Wire(convert, "Value", level, "Value");
  Finish();
  Move(entry, "Text", "2.5");
  EXPECT_EQ(Number(level, "Value"), 2.5);
  Move(entry, "Text", "volume");  // no number reads as 0
  EXPECT_EQ(Number(level, "Value"), 0);
  Move(entry, "Text", "nan");  // nor does a number that is not finite
  EXPECT_EQ(Number(level, "Value"), 0);
  Set(level, "Value", "0.05");
  EXPECT_EQ(Shown(entry, "Text"), "0.0500");
  Set(level, "Value", "5");
  EXPECT_EQ(Shown(entry, "Text"), "5.00");
  Set(level, "Value", "50");
  EXPECT_EQ(Shown(entry, "Text"), "50.0");
  Set(convert, "Decimal Places", "3");
  EXPECT_EQ(Shown(entry, "Text"), "50.000");
}

TEST_F(GuiSideModules, AnimationScaleDbMapsDecibelsToAMeterPosition) {
  CUG& scaler = Add("UiAnimationScaleDb");
  CUG& level = Add("UiFloatScaler");  // its "Value In" holds the level in dB
  Wire(scaler, "Db", level, "Value In");
  Finish();
  const std::pair<const char*, double> cases[] = {{"0", 0.7},       {"3", 1.0},  {"-3", 0.4}, {"-8.75", 0.1125},
                                                  {"-20", 0.0},     {"-30", 0.0}, {"12", 1.0}};
  for (const auto& [db, position] : cases) {
    Set(level, "Value In", db);
    EXPECT_NEAR(Number(scaler, "Animation Position"), position, 1e-6) << db << " dB";
  }
}

TEST_F(GuiSideModules, FloatScalerScalesBothWaysAndSkipsAZeroFactor) {
  CUG& scaler = Add("UiFloatScaler");
  CUG& level = Add("PatchMemFloatIn");
  EXPECT_EQ(Number(scaler, "Multiply by"), 0.1);
  Wire(scaler, "Value Out", level, "Value");
  Finish();
  Set(scaler, "Value In", "50");
  EXPECT_EQ(Number(level, "Value"), 5);
  Set(scaler, "Add", "1");  // alone recomputes nothing
  EXPECT_EQ(Number(level, "Value"), 5);
  Set(scaler, "Value In", "20");
  EXPECT_EQ(Number(level, "Value"), 3);
  Set(level, "Value", "7");
  EXPECT_NEAR(Number(scaler, "Value In"), 60, 1e-4);
  Set(scaler, "Multiply by", "0");
  Set(level, "Value", "8");
  EXPECT_NEAR(Number(scaler, "Value In"), 60, 1e-4);
}

TEST_F(GuiSideModules, ListInBTakesTheLinkedListAndFollowsItsValue) {
  CUG& memory = Add("PatchMemListIn_B");
  CUG& command = Add("System Command2");
  Wire(memory, "List Out", command, "Command");
  Finish();
  EXPECT_EQ(Find(memory, "Value").ItemList(), ",edit,explore,find,open,print,properties");
  Set(command, "Command", "3");
  EXPECT_EQ(Value(memory, "Value"), "3");
  Set(memory, "Value", "5");  // a program change: the linked value follows
  EXPECT_EQ(Value(command, "Command"), "5");
}

TEST_F(GuiSideModules, PatchMemoryPositionsFollowTheirValueAndRange) {
  CUG& in = Add("PatchMemFloatIn");
  CUG& out = Add("PatchMemFloatOut");
  Finish();
  Set(in, "Max Value", "20");
  Set(in, "Value", "5");
  EXPECT_EQ(Number(in, "Animation Position"), 0.25);
  Set(in, "Animation Position", "0.5");
  EXPECT_EQ(Number(in, "Value"), 10);
  Set(in, "Min Value", "10");  // the value keeps its position in the new range
  EXPECT_EQ(Number(in, "Value"), 15);
  Set(in, "Max Value", "10");  // an empty range does not fault
  Set(in, "Value", "3");
  EXPECT_EQ(Number(in, "Animation Position"), 0);
  Set(out, "Value", "2.5");
  EXPECT_EQ(Number(out, "Animation Position"), 0.25);
  Set(out, "Min Value", "2");
  Set(out, "Max Value", "3");
  EXPECT_EQ(Number(out, "Animation Position"), 0.5);
}

TEST_F(GuiSideModules, FloatOutBPassesItsValueOnThroughItsLink) {
  CUG& reported = Add("PatchMemFloatOutB");
  CUG& convert = Add("Text To Float");
  CUG& scaler = Add("UiFloatScaler");
  Wire(reported, "Value Out", scaler, "Value In");
  Wire(convert, "Value", scaler, "Value In");
  Finish();
  Set(reported, "V", "7.5");
  EXPECT_EQ(Number(scaler, "Value In"), 7.5);
  EXPECT_EQ(Value(convert, "Text"), "7.50");  // every link on the value hears it
}

TEST_F(GuiSideModules, RemovingAWireDetachesTheLink) {
  CUG& toBool = Add("Float To Bool");
  CUG& hub = Add("Bool Splitter");
  CLine2& wire = Wire(toBool, "Out", hub, "In");
  Finish();
  document_->root->RemoveChild(&wire);
  Set(toBool, "In", "5");
  EXPECT_EQ(Value(hub, "In"), "0");
}

TEST_F(GuiSideModules, TextInAsksForAFileWhenItsButtonIsReleased) {
  CUG& text = Add("Patch Mem - Text in");
  Finish();
  Set(text, "Value", "old.wav");
  std::vector<platform::OpenFileRequest> asked;
  const auto previous = platform::SetFileChooser([&](const platform::OpenFileRequest& request) {
    asked.push_back(request);
    return std::optional<std::string>("/samples/new.wav");
  });
  Set(text, "File Dialog", "1");
  EXPECT_TRUE(asked.empty());  // a press asks nothing
  Set(text, "File Dialog", "0");
  platform::SetFileChooser(previous);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].initialName, "old.wav");
  EXPECT_EQ(Value(text, "Value"), "/samples/new.wav");
}

// The module of that title in a container.
CUG& Titled(const CContainer& root, std::string_view title) {
  for (const auto& child : root.Children())
    if (auto* module = dynamic_cast<CUG*>(child.get()); module && module->Title() == title) return *module;
  throw BuildError("no module " + std::string(title));
}

TEST_F(GuiSideModules, AStoredPatchComputesAgainOnceRead) {
  CUG& splitter = Add("Bool Splitter");
  splitter.SetTitle("splitter");
  CUG& wrap = Add("Increment2");
  wrap.SetTitle("wrap");
  builder_.Connect(*splitter.Plugs()[1], builder_.Plug(wrap, "Wrap"));
  CUG& bools = Add("Bools to List");
  bools.SetTitle("bools");
  CUG& command = Add("System Command2");
  command.SetTitle("command");
  Wire(bools, "Value", command, "Command");
  Finish();
  const auto bytes = krtest::Write(*document_, 95710);

  auto loaded = krtest::Read(bytes);
  ASSERT_NE(loaded.document, nullptr) << loaded.error;
  const CContainer& root = *loaded.document->root;
  EXPECT_EQ(krtest::Write(*loaded.document, 95710), bytes);  // reading changed nothing
  CUG& splitterRead = Titled(root, "splitter");
  EXPECT_EQ(splitterRead.Plugs().size(), 3u);  // the spare added by wiring was stored
  EXPECT_EQ(Titled(root, "bools").Plugs().size(), 8u);
  Set(splitterRead, "In", "1");
  EXPECT_EQ(Value(Titled(root, "wrap"), "Wrap"), "1");
  Set(Titled(root, "bools"), "find", "1");
  EXPECT_EQ(Value(Titled(root, "command"), "Command"), "3");
}

#ifndef _WIN32
// "System Command2" with a stand-in xdg-open on the search path that
// writes the argument it was given into a file.
class SystemCommand : public GuiPatch {
 protected:
  SystemCommand() : path_("PATH", (dir_.path() / "bin").string() + ":" + SearchPath()) {
    std::filesystem::create_directories(dir_.path() / "bin");
    const auto opener = dir_.path() / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir_.path() / "opened").string() << ".tmp\"\nmv \""
                          << (dir_.path() / "opened").string() << ".tmp\" \"" << (dir_.path() / "opened").string() << "\"\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
  }
  static std::string SearchPath() {
    const char* path = std::getenv("PATH");
    return path != nullptr ? path : "/usr/bin:/bin";
  }
  // What the stand-in was handed; empty when it did not run within a while.
  std::string Opened(std::chrono::milliseconds wait = std::chrono::milliseconds(5000)) {
    const auto file = dir_.path() / "opened";
    for (auto waited = std::chrono::milliseconds(0); waited < wait; waited += std::chrono::milliseconds(20)) {
      if (std::filesystem::exists(file)) {
        std::string text = ReadText(file);
        std::filesystem::remove(file);
        return text;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }
  void Release(CUG& module) {
    Set(module, "Trigger", "1");
    Set(module, "Trigger", "0");
  }

  TempDir dir_;
  EnvironmentOverride path_;
};

TEST_F(SystemCommand, OpenAndEditHandTheFileToXdgOpenExploreItsFolder) {
  CUG& command = Add("System Command2");
  Finish();
  const std::string file = (dir_.path() / "notes; rm -rf x.txt").string();
  Set(command, "Filename", file);
  Set(command, "Command", "4");  // "open"
  Set(command, "Trigger", "1");
  EXPECT_EQ(Opened(std::chrono::milliseconds(200)), "");  // a press does nothing
  Set(command, "Trigger", "0");
  EXPECT_EQ(Opened(), file);  // one argument, never through a shell
  Set(command, "Command", "1");  // "edit"
  Release(command);
  EXPECT_EQ(Opened(), file);
  Set(command, "Command", "2");  // "explore"
  Release(command);
  EXPECT_EQ(Opened(), dir_.path().string());
  Set(command, "Command", "5");  // "print": nothing here
  Release(command);
  EXPECT_EQ(Opened(std::chrono::milliseconds(300)), "");
}

TEST_F(SystemCommand, ANameIsResolvedAsModuleFilesAreAndNeverReadAsAnOption) {
  CUG& command = Add("System Command2");
  Finish();
  Set(command, "Filename", "-readme.txt");
  Set(command, "Command", "4");
  Release(command);
  const std::string opened = Opened();
  const std::string resolved =
      ResolveModuleFileName("-readme.txt", "", [](std::string_view e) { return ModuleRegistry::Get().DefaultDirectory(e); });
  ASSERT_FALSE(opened.empty());
  EXPECT_NE(opened.front(), '-');  // never read as an option
  EXPECT_EQ(opened, resolved.front() == '-' ? "./" + resolved : resolved);
}
#endif

}  // namespace
}  // namespace krtest
