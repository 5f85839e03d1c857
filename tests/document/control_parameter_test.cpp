// Legacy panel controls as named parameters: per-program values, their
// MIDI settings, and the automation answers by class.
#include <gtest/gtest.h>

#include "support/params_support.h"
#include "registry/plug_types.h"

using namespace kr;

using namespace krtest;

namespace {

TEST(ControlParameter, AutomationAndKindFollowTheClass) {
  auto root = MakeContainer("Root");
  struct Row {
    const RuntimeClass& cls;
    bool automated;
    int kind;
  };
  const Row rows[] = {{SliderClass(), true, 0}, {ComboClass(), true, 0}, {PeakMeterClass(), true, 1},
                      {LedClass(), false, 1},   {TextClass(), false, 0}, {CControl::kClass, false, 0}};
  for (const Row& row : rows) {
    CControl& c = AddControl(*root, row.cls, row.cls.name);
    EXPECT_EQ(c.CanBeAutomated(), row.automated) << row.cls.name;
    EXPECT_EQ(c.KindByte(), row.kind) << row.cls.name;
    EXPECT_EQ(c.Label(), "") << row.cls.name;
  }
}

TEST(ControlParameter, ValueTypeGivesTheDataType) {
  auto root = MakeContainer("Root");
  EXPECT_EQ(AddControl(*root, ComboClass(), "c").DataType(), DT_ENUM);
  EXPECT_EQ(AddControl(*root, TextClass(), "t").DataType(), DT_TEXT);
  EXPECT_EQ(AddControl(*root, SliderClass(), "s").DataType(), DT_DOUBLE);
}

TEST(ControlParameter, ValuesFollowTheContainersProgram) {
  auto root = MakeContainer("Root");
  root->EnsurePatchMemory();
  CControl& slider = AddControl(*root, SliderClass(), "Cutoff");
  EXPECT_EQ(slider.Name(), "Cutoff");
  EXPECT_EQ(slider.ValueText(), "");  // no programs stored yet
  slider.numbers = {0.5, 42.0, 123.456};
  EXPECT_EQ(slider.ValueText(), "0.500");
  EXPECT_EQ(slider.ValueTextFor(1), "42.00");
  EXPECT_EQ(slider.ValueTextFor(2), "123.5");
  EXPECT_EQ(slider.ValueTextFor(99), "0.500");  // past the stored programs
  root->SetProgram(1);
  EXPECT_EQ(slider.ValueText(), "42.00");
  EXPECT_FLOAT_EQ(slider.NormalisedValue(), 1.0f);  // 42 V lies past its Lo..Hi of 0..10 V
  slider.SetValueText("7");
  EXPECT_EQ(slider.numbers[1], 7.0);
  EXPECT_EQ(slider.numbers[0], 0.5);

  // One stored value serves every program.
  CControl& single = AddControl(*root, ComboClass(), "Mode");
  single.integers = {3};
  EXPECT_EQ(single.ValueText(), "3");
  single.SetValueText("4");
  EXPECT_EQ(single.integers, std::vector<std::int32_t>{4});

  // A control with no values gets its 128 slots when first set.
  CControl& text = AddControl(*root, TextClass(), "Name");
  text.SetValueText("hello");
  EXPECT_EQ(text.texts.size(), 128u);
  EXPECT_EQ(text.texts[1], "hello");
}

TEST(ControlParameter, MidiSettingsLiveInTheirPlugs) {
  auto root = MakeContainer("Root");
  CControl& slider = AddControl(*root, SliderClass(), "Cutoff");
  std::vector<Heard> log;
  ParameterRecorder r(log, "slider");
  slider.Parameter().AddObserver(&r);
  EXPECT_EQ(slider.MidiController(), -1);
  EXPECT_EQ(slider.MidiNrpn(), 0);
  // Both are named parameters of the control, after its "Title".
  ASSERT_EQ(slider.ParameterCount(), 3);
  EXPECT_EQ(slider.ParameterAt(0)->Name(), "Title");
  EXPECT_EQ(slider.FindParameter("MIDI Controller ID"), slider.FindPlug("MIDI Controller ID"));
  EXPECT_EQ(slider.FindParameter("MIDI NRPN"), slider.FindPlug("MIDI NRPN"));
  EXPECT_EQ(slider.ParameterAt(3), nullptr);
  slider.SetMidiController(7);
  slider.SetMidiController(7);
  slider.SetMidiNrpn(300);
  EXPECT_EQ(slider.FindPlug("MIDI Controller ID")->ValueText(), "7");
  EXPECT_EQ(slider.FindPlug("MIDI NRPN")->ValueText(), "300");
  EXPECT_EQ(slider.MidiController(), 7);
  EXPECT_EQ(slider.MidiNrpn(), 300);
  EXPECT_EQ(log, (std::vector<Heard>{{"slider", 32, nullptr}, {"slider", 33, nullptr}}));
  slider.Parameter().RemoveObserver(&r);

  // A control without those plugs has no controller and keeps none.
  CControl bare(SliderClass());
  EXPECT_EQ(bare.ParameterCount(), 1);
  bare.SetMidiController(5);
  EXPECT_EQ(bare.MidiController(), -1);
  EXPECT_FALSE(bare.FollowsProgramChanges());
}

TEST(ControlParameter, EditsAnnounceWithoutMark) {
  auto root = MakeContainer("Root");
  CControl& slider = AddControl(*root, SliderClass(), "Cutoff");
  std::vector<Heard> log;
  ParameterRecorder r(log, "slider");
  slider.Parameter().AddObserver(&r);
  slider.SetValueText("2");
  slider.SetValueText("2.000");  // the same value
  EXPECT_EQ(log, (std::vector<Heard>{{"slider", 31, nullptr}}));
  slider.Parameter().RemoveObserver(&r);
}

}  // namespace
