// The default normalised mapping of a named parameter, per data type, and
// the notifications every parameter sends.
#include <gtest/gtest.h>

#include <limits>

#include "document/cug.h"
#include "support/params_support.h"
#include "registry/plug_types.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr const char* kFour = "a,b,c,d";
constexpr const char* kSpaced = "Sine=0,Saw=5,Square=10,Noise=20";

TEST(NormalisedMapping, BoolIsTrueFromHalfWay) {
  PlainParameter p(DT_BOOL, "0");
  p.SetNormalisedValue(0.5f);
  EXPECT_EQ(p.ValueText(), "1");
  EXPECT_EQ(p.NormalisedValue(), 1.0f);
  EXPECT_EQ(p.DisplayText(), "true");
  p.SetNormalisedValue(0.49f);
  EXPECT_EQ(p.ValueText(), "0");
  EXPECT_EQ(p.DisplayText(), "false");
  EXPECT_EQ(p.DisplayTextFor(0.5f), "true");
  EXPECT_EQ(p.DisplayTextFor(0.49f), "false");
  // Only the text "1" counts as true.
  PlainParameter t(DT_BOOL, "true");
  EXPECT_EQ(t.NormalisedValue(), 0.0f);
  EXPECT_EQ(t.DisplayText(), "false");
}

TEST(NormalisedMapping, EnumerationOfFourItemsByPosition) {
  PlainParameter p(DT_ENUM, "0", kFour);
  const float xs[] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
  const char* expected[] = {"0", "1", "2", "3", "3"};
  for (int i = 0; i < 5; ++i) {
    p.SetNormalisedValue(xs[i]);
    EXPECT_EQ(p.ValueText(), expected[i]) << "x = " << xs[i];
    // What is displayed for x is what setting x chooses.
    EXPECT_EQ(p.DisplayTextFor(xs[i]), p.DisplayText()) << "x = " << xs[i];
  }
  p.SetValueText("1");
  EXPECT_FLOAT_EQ(p.NormalisedValue(), 1.0f / 3.0f);
  EXPECT_EQ(p.DisplayText(), "b");
}

TEST(NormalisedMapping, EnumerationUsesItemValues) {
  PlainParameter p(DT_ENUM, "0", kSpaced);
  p.SetNormalisedValue(0.6f);
  EXPECT_EQ(p.ValueText(), "10");
  EXPECT_FLOAT_EQ(p.NormalisedValue(), 2.0f / 3.0f);
  EXPECT_EQ(p.DisplayText(), "Square");
  EXPECT_EQ(p.FirstItemValue(), 0);
  EXPECT_EQ(p.LastItemValue(), 20);
  // Every position comes back from its own normalised value.
  for (const char* v : {"0", "5", "10", "20"}) {
    PlainParameter q(DT_ENUM, v, kSpaced);
    const float x = q.NormalisedValue();
    q.SetValueText("0");
    q.SetNormalisedValue(x);
    EXPECT_EQ(q.ValueText(), v);
  }
  // A value that is not in the list.
  PlainParameter stray(DT_ENUM, "7", kSpaced);
  EXPECT_EQ(stray.NormalisedValue(), 0.0f);
  EXPECT_EQ(stray.DisplayText(), "");
}

TEST(NormalisedMapping, ShortListsAndRanges) {
  PlainParameter one(DT_ENUM, "4", "only=4");
  EXPECT_EQ(one.NormalisedValue(), 0.0f);
  one.SetNormalisedValue(0.9f);
  EXPECT_EQ(one.ValueText(), "4");
  PlainParameter none(DT_ENUM, "3", "");
  none.SetNormalisedValue(0.7f);
  EXPECT_EQ(none.ValueText(), "3");
  EXPECT_EQ(none.DisplayTextFor(0.7f), "");

  PlainParameter range(DT_ENUM, "64", "range 0,127");
  EXPECT_FLOAT_EQ(range.NormalisedValue(), 64.0f / 127.0f);
  EXPECT_EQ(range.DisplayText(), "64");
  range.SetNormalisedValue(1.0f);
  EXPECT_EQ(range.ValueText(), "127");
  // A range of two thousand million items answers at once, without walking it.
  PlainParameter wide(DT_ENUM, "0", "range -1000000000,1000000000");
  EXPECT_EQ(wide.FirstItemValue(), -1000000000);
  EXPECT_EQ(wide.LastItemValue(), 1000000000);
  wide.SetNormalisedValue(1.0f);
  EXPECT_EQ(wide.ValueText(), "1000000000");
  EXPECT_FLOAT_EQ(wide.NormalisedValue(), 1.0f);
}

TEST(NormalisedMapping, NumbersTextsAndOthers) {
  PlainParameter number(DT_DOUBLE, "5");
  EXPECT_FLOAT_EQ(number.NormalisedValue(), 0.5f);
  number.SetNormalisedValue(0.9f);
  EXPECT_EQ(number.ValueText(), "5");
  EXPECT_EQ(number.DisplayText(), "5");
  EXPECT_EQ(number.DisplayTextFor(0.1f), "5");
  for (int type : {DT_TEXT, DT_FLOAT, DT_INT, DT_AUDIO}) {
    PlainParameter other(type, "3.5");
    EXPECT_EQ(other.NormalisedValue(), 0.0f) << type;
    other.SetNormalisedValue(0.9f);
    EXPECT_EQ(other.ValueText(), "3.5") << type;
    EXPECT_EQ(other.DisplayTextFor(0.2f), "3.5") << type;
  }
}

TEST(NormalisedMapping, OutOfRangeAndNanValuesAreHeld) {
  PlainParameter p(DT_ENUM, "0", kFour);
  p.SetNormalisedValue(7.0f);
  EXPECT_EQ(p.ValueText(), "3");
  p.SetNormalisedValue(-3.0f);
  EXPECT_EQ(p.ValueText(), "0");
  p.SetNormalisedValue(2.0f);
  p.SetNormalisedValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(p.ValueText(), "0");
  PlainParameter b(DT_BOOL, "1");
  b.SetNormalisedValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(b.ValueText(), "0");
  EXPECT_EQ(b.DisplayTextFor(std::numeric_limits<float>::infinity()), "true");
}

TEST(NormalisedMapping, GeneticValuesOnlyForNumbers) {
  std::uint32_t random = 7;
  PlainParameter number(DT_DOUBLE, "2.5");
  std::vector<float> values(64, -1.0f);
  number.FillRandom(values, random);
  for (float v : values) {
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 10.0f);
  }
  EXPECT_NE(values.front(), values.back());
  // The state moves on: the next fill differs.
  std::vector<float> again(64, -1.0f);
  number.FillRandom(again, random);
  EXPECT_NE(values, again);
  EXPECT_EQ(number.MakeGeneticValues(), std::vector<float>{2.5f});
  PlainParameter text(DT_TEXT, "x");
  std::vector<float> untouched(4, -1.0f);
  text.FillRandom(untouched, random);
  EXPECT_EQ(untouched, std::vector<float>(4, -1.0f));
  EXPECT_TRUE(text.MakeGeneticValues().empty());
}

TEST(ParameterNotifications, ValueChangesAndDestruction) {
  std::vector<Heard> log;
  ParameterRecorder r(log, "p");
  {
    PlainParameter p(DT_BOOL, "0");
    p.AddObserver(&r);
    p.SetNormalisedValue(0.2f);  // already false: nothing
    p.SetNormalisedValue(0.8f);
  }
  EXPECT_EQ(log, (std::vector<Heard>{{"p", 31, nullptr}, {"p", 8, nullptr}}));
}

TEST(PlugParameter, PlugsMapThroughTheirDefinitions) {
  std::vector<Heard> log;
  ParameterRecorder r(log, "wave");
  CUG module(&PlugTestEntry());
  ASSERT_EQ(module.Plugs().size(), 4u);
  CPlug2& wave = *module.Plugs()[0];
  EXPECT_EQ(wave.Name(), "Wave");
  EXPECT_EQ(wave.DataType(), DT_ENUM);
  EXPECT_EQ(wave.ItemList(), kSpaced);
  EXPECT_FLOAT_EQ(wave.NormalisedValue(), 1.0f / 3.0f);
  EXPECT_EQ(wave.DisplayText(), "Saw");

  wave.AddObserver(&r);
  wave.SetNormalisedValue(1.0f);
  EXPECT_EQ(wave.ValueText(), "20");
  wave.SetValueText("20");  // no change, no notification
  EXPECT_EQ(log, (std::vector<Heard>{{"wave", 31, nullptr}}));

  CPlug2& hold = *module.Plugs()[1];
  hold.SetNormalisedValue(0.5f);
  EXPECT_EQ(hold.ValueText(), "1");
  CPlug2& level = *module.Plugs()[2];
  EXPECT_FLOAT_EQ(level.NormalisedValue(), 0.5f);
  EXPECT_FALSE(level.CanBeAutomated());
  EXPECT_EQ(level.KindByte(), 0);
  EXPECT_EQ(level.MidiController(), -1);
  EXPECT_EQ(level.Label(), "");
  EXPECT_EQ(level.MakeDefaultWidget(nullptr), nullptr);
}

TEST(PlugParameter, DestroyingAModuleTellsItsPlugsObservers) {
  std::vector<Heard> log;
  ParameterRecorder r(log, "plug");
  {
    CUG module(&PlugTestEntry());
    module.Plugs()[3]->AddObserver(&r);
  }
  EXPECT_EQ(log, (std::vector<Heard>{{"plug", 8, nullptr}}));
}

}  // namespace
