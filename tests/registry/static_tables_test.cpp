#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/module_registry.h"

namespace {

struct Plug {
  std::string name;
  PlugDirection direction;
  PlugDataType type;
  std::string defaultText;
  std::string listText;
  std::uint32_t flags;
  bool operator==(const Plug&) const = default;
};

std::vector<Plug> PlugsOf(const char* module) {
  const Module_Info* entry = ModuleRegistry::Get().FindByName(module);
  EXPECT_NE(entry, nullptr) << module;
  std::vector<Plug> plugs;
  if (entry == nullptr) return plugs;
  for (const InterfaceObject& p : entry->plugs) {
    EXPECT_EQ(p.valueBinding, nullptr);
    EXPECT_EQ(p.hint, "");
    plugs.push_back({p.name, p.direction, p.dataType, p.defaultText, p.listText, p.flags});
  }
  return plugs;
}

TEST(StaticTables, ConverterLists) {
  EXPECT_EQ(PlugsOf("FloatToVolts"), (std::vector<Plug>{
                                         {"Smoothing", DR_IN, DT_ENUM, "2", "None,Fast (4 samp),Smooth (30ms)", 0},
                                         {"Float In", DR_IN, DT_FLOAT, "", "", 0},
                                         {"Volts Out", DR_OUT, DT_AUDIO, "", "", 0},
                                     }));
  EXPECT_EQ(PlugsOf("VoltsToFloat"),
            (std::vector<Plug>{
                {"Volts In", DR_IN, DT_AUDIO, "", "", PF_SIGNAL},
                {"Response", DR_IN, DT_ENUM, "4",
                 "dB VU,dB PPM,dB Peak,dB HeadRoom, Volts DC (Fast), Volts DC Average, Volts RMS", 0},
                {"Update Rate", DR_IN, DT_ENUM, "10", "1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20,40 Hz=40", 0},
                {"Float Out", DR_OUT, DT_FLOAT, "", "", 0},
            }));
}

TEST(StaticTables, PatchMemoryLists) {
  EXPECT_EQ(PlugsOf("PatchMemListIn2"), (std::vector<Plug>{
                                            {"Name", DR_IN, DT_TEXT, "", "", PF_GUI},
                                            {"Value", DR_IN, DT_ENUM, "", "", 0x8400},
                                            {"List Out", DR_OUT, DT_ENUM, "", "", 0},
                                        }));
  const std::vector<Plug> floatIn = PlugsOf("PatchMemFloatIn");
  ASSERT_EQ(floatIn.size(), 6u);
  EXPECT_EQ(floatIn[1], (Plug{"Value", DR_IN, DT_FLOAT, "", "", 0x8400}));
  EXPECT_EQ(floatIn[2].name, "Animation Position");
  EXPECT_EQ(floatIn[3].name, "Min Value");
  EXPECT_EQ(floatIn[4].name, "Max Value");
  EXPECT_EQ(floatIn[5], (Plug{"Value Out", DR_OUT, DT_FLOAT, "", "", 0}));

  const std::vector<Plug> outB = PlugsOf("PatchMemFloatOutB");
  ASSERT_EQ(outB.size(), 5u);
  EXPECT_EQ(outB[2].flags, static_cast<std::uint32_t>(PF_GUI | PF_HIDDEN | PF_PATCH_VALUE_IN));
  EXPECT_EQ(outB[4].name, "V");
  EXPECT_EQ(PlugsOf("PatchMemFloatOut").size(), 7u);
  EXPECT_EQ(PlugsOf("PatchMemListIn_B")[1].flags, static_cast<std::uint32_t>(PF_GUI | PF_PATCH_VALUE_IN));
}

TEST(StaticTables, PanelConverterListsAreAllGui) {
  for (const char* module : {"UiAnimationScaleDb", "UiFloatScaler"})
    for (const Plug& p : PlugsOf(module)) EXPECT_EQ(p.flags, static_cast<std::uint32_t>(PF_GUI)) << p.name;
  EXPECT_EQ(PlugsOf("UiFloatScaler").size(), 4u);
}

TEST(StaticTables, DescriptorEntriesKeepTheirFlags) {
  const Module_Info* entry = ModuleRegistry::Get().FindByName("FloatToVolts");
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->flags & MF_LISTED_BY_CLASS, 0);
  EXPECT_EQ(entry->moduleNumber, -1);
}

}  // namespace
