// Legacy numbers and the flags the engine reads.
#include <gtest/gtest.h>

#include <string>

#include "registry/module_registry.h"

using namespace kr;

namespace {

TEST(ModuleList, LegacyNumbersFindTheirEntries) {
  // The full list of names and numbers is in the golden file (golden_test.cpp).
  ModuleRegistry& registry = ModuleRegistry::Get();
  EXPECT_EQ(registry.FindByName("BI2"), registry.FindByName("ADSR"));
  EXPECT_EQ(registry.FindByName("BI44"), registry.FindByName("Step Sequencer"));
  EXPECT_EQ(registry.FindByName("BI10"), nullptr);  // position 10 holds no module
  EXPECT_EQ(registry.NameByModuleNumber(45), "");   // the table ends with 44
  EXPECT_EQ(registry.FindByName("***"), nullptr);
  EXPECT_EQ(registry.FindByName("BI"), nullptr);
  EXPECT_EQ(registry.FindByName("BIx"), nullptr);
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
