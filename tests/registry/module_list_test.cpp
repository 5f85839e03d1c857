// Every module name a document may hold finds an entry; the legacy table
// keeps its order.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "document/module_registry.h"

namespace {

// Position n (from 1) is legacy module number n.
const char* const kLegacyNames[] = {
    "Audio Out",
    "ADSR",
    "Container",
    "IO Mod",
    "Slider",
    "Text Entry",
    "List Entry",
    "MIDI Player",
    "Midi to CV",
    "",
    "Level Adj",
    "SV Filter",
    "VCA",
    "Drum Trigger",
    "Patch Select",
    "MIDI In",
    "Delay",
    "MIDI Adder(obsolete)",
    "Clipper",
    "Monitor",
    "Filter2 obsolete",
    "Thrasher",
    "Switch",
    "Switch2",
    "Filter obs",
    "Inverter",
    "Sample Player obsolete",
    "Notesource",
    "Audio In",
    "MIDI Out",
    "Controllers",
    "VoiceMonitor",
    "Button",
    "Z-Filter obsolete",
    "Panel Group",
    "X-Mix",
    "Pan",
    "Switch (1->Many)",
    "Switch (Many->1)",
    "VST Plugin",
    "Peak Follower",
    "Line",
    "Group",
    "Step Sequencer",
};
const char* const kNameOnly[] = {
    "8 Stage Env",
    "Multistage Env",
    "Oscillator",
    "Phase Dist Osc",
    "1 KHz Tone",
    "Moog Filter",
    "1 Pole LP",
    "1 Pole HP",
    "All Pass",
    "Parametric EQ",
    "Denormal Detector",
    "Denormal Cleaner",
    "Trigger to MIDI",
    "MIDI Automator",
    "MIDI Automator Output",
    "VST Input",
    "VST Output",
    "Float Adder",
    "MIDI Adder2",
    "Comparator",
    "Control Plugs",
    "Delay2",
    "Feedback Delay",
    "Fixed Values",
    "FloatToVolts",
    "VoltsToFloat",
    "Freq Analyser",
    "Freq Response Test",
    "GenProg",
    "GenProg Trigger",
    "Peak Meter",
    "LED Indicator",
    "Volt Meter",
    "Binary Counter",
    "Step Counter",
    "Step Counter2",
    "Decade Counter",
    "AND Gate",
    "OR Gate",
    "XOR Gate",
    "NAND Gate",
    "NOR Gate",
    "NOT Gate",
    "Shift Register",
    "Ceil",
    "Floor",
    "Divide",
    "Multiply",
    "Subtract",
    "Ring Modulator",
    "Monostable",
    "Quantiser",
    "random",
    "Rectifier",
    "Sample and Hold",
    "MIDI Filter",
    "KeyBoard",
    "MIDI Monitor",
    "MIDI Recorder",
    "Soundfont Oscillator",
    "Soundfont Player",
    "Drum Sequencer",
    "OS Command",
    "Voice Combiner",
    "Voltage To List",
    "Sound In",
    "Sound Out",
    "Wave Player",
    "Wave Recorder",
    "WaveShaper",
    "WaveShaper2",
    "Plugin",
    "PatchMemListIn2",
    "PatchMemFloatIn",
    "Patch Mem - Text in",
    "Patch Parameter - Level Out",
    "PatchMemFloatOut",
    "PatchMemFloatOutB",
    "Control Group",
    "Image",
    "Joystick Image",
    "Tinted Image",
    "List Entry2",
    "Text Entry2",
    "Sub Panel",
    "Paged Group",
    "UiAnimationScaleDb",
    "Image to Frame",
    "Bool Splitter",
    "Bools to List",
    "List To Bools",
    "UiFloatScaler",
    "Float To Bool",
    "Increment",
    "Increment2",
    "Int to List",
    "PatchMemListIn_B",
    "Spring",
    "System Command2",
    "Text To Float",
};

TEST(ModuleList, LegacyNumbersArePositions) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  for (std::size_t i = 0; i < std::size(kLegacyNames); ++i) {
    const std::int32_t number = static_cast<std::int32_t>(i + 1);
    EXPECT_EQ(registry.NameByModuleNumber(number), kLegacyNames[i]) << number;
    Module_Info* byNumber = registry.FindByName("BI" + std::to_string(number));
    if (*kLegacyNames[i] == '\0') {
      EXPECT_EQ(byNumber, nullptr);  // position 10 holds no module
      continue;
    }
    ASSERT_NE(byNumber, nullptr) << number;
    EXPECT_EQ(byNumber, registry.FindByName(kLegacyNames[i]));
    EXPECT_EQ(byNumber->moduleNumber, number);
    EXPECT_NE(byNumber->flags & MF_LISTED_BY_CLASS, 0);
  }
  EXPECT_EQ(registry.NameByModuleNumber(45), "");  // the table ends before its "***" row
  EXPECT_EQ(registry.FindByName("***"), nullptr);
}

TEST(ModuleList, EveryNameOnlyModuleIsRegistered) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  for (const char* name : kNameOnly) {
    Module_Info* entry = registry.FindByName(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->moduleNumber, -1) << name;
  }
}

TEST(ModuleList, FlagsTheEngineReads) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  EXPECT_EQ(registry.FindByName("Container")->flags & 0x3, 0x3);
  EXPECT_NE(registry.FindByName("IO Mod")->flags & MF_IO_MODULE, 0);
  EXPECT_EQ(registry.FindByName("MIDI Automator")->flags & 0xFFF, 0x140);
  EXPECT_EQ(registry.FindByName("MIDI Automator Output")->flags & 0xFFF, 0x8);
  for (const char* noteSource : {"Midi to CV", "Notesource", "Drum Trigger", "Soundfont Player"}) {
    const std::int32_t flags = registry.FindByName(noteSource)->flags;
    EXPECT_EQ(flags & (MF_NOTE_SOURCE | MF_VOICE_SOURCE), MF_NOTE_SOURCE | MF_VOICE_SOURCE) << noteSource;
  }
  // Only the container's I/O module is one.
  int ioModules = 0;
  for (const auto& [name, entry] : registry.Entries()) ioModules += (entry->flags & MF_IO_MODULE) != 0;
  EXPECT_EQ(ioModules, 1);
}

}  // namespace
