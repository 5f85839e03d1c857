#include "registry/module_registry.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/ug_base.h"
#include "support/message_capture.h"
#include "platform/platform.h"

using namespace kr;

namespace {

std::unique_ptr<Module_Info> NameOnlyEntry(const char* name, std::int32_t flags = 0) {
  return std::make_unique<Module_Info>(name, "Test Group", 0, 0, nullptr, nullptr, flags);
}

TEST(ModuleRegistry, FindsByExactNameOrLegacyNumber) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  Module_Info* container = registry.FindByName("Container");
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(registry.FindByName("BI3"), container);
  EXPECT_EQ(container->Name(), "Container");
  EXPECT_EQ(registry.FindByName("container"), nullptr);
  EXPECT_EQ(registry.FindByName("Container "), nullptr);
  for (const char* nothing : {"BI999", "BI", "BI0", "BI-1", "BIx", "", "bi3"})
    EXPECT_EQ(registry.FindByName(nothing), nullptr) << nothing;
}

TEST(ModuleRegistry, NameByModuleNumber) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  EXPECT_EQ(registry.NameByModuleNumber(1), "Audio Out");
  EXPECT_EQ(registry.NameByModuleNumber(2), "ADSR");
  EXPECT_EQ(registry.NameByModuleNumber(44), "Step Sequencer");
  EXPECT_EQ(registry.NameByModuleNumber(10), "");
  EXPECT_EQ(registry.NameByModuleNumber(0), "");
  // -1 is what every entry without a legacy number carries.
  EXPECT_EQ(registry.NameByModuleNumber(-1), "");
}

TEST(ModuleRegistry, DuplicateNameKeepsTheFirstEntryAndSaysSoOnce) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  krtest::MessageCapture messages;
  ASSERT_TRUE(registry.Register(NameOnlyEntry("Test Duplicate", 0x100)));
  Module_Info* first = registry.FindByName("Test Duplicate");
  const std::size_t count = registry.Entries().size();

  EXPECT_FALSE(registry.Register(NameOnlyEntry("Test Duplicate", 0x80)));
  EXPECT_EQ(registry.Entries().size(), count);
  EXPECT_EQ(registry.FindByName("Test Duplicate"), first);
  EXPECT_EQ(first->flags & 0xFFF, 0x100);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "RegisterModule Error. Module found twice. Test Duplicate");
}

TEST(ModuleRegistry, EmptyNameIsDiscardedSilently) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  krtest::MessageCapture messages;
  const std::size_t count = registry.Entries().size();
  EXPECT_FALSE(registry.Register(NameOnlyEntry("")));
  EXPECT_FALSE(registry.Register(std::unique_ptr<Module_Info>()));
  EXPECT_EQ(registry.Entries().size(), count);
  EXPECT_TRUE(messages.texts.empty());
}

TEST(ModuleRegistry, NamesAreOrderedBytewise) {
  std::string previous;
  for (const auto& [name, entry] : ModuleRegistry::Get().Entries()) {
    EXPECT_LT(previous, name);
    EXPECT_EQ(entry->name, name);
    previous = name;
  }
  // Upper case sorts before lower case: "random" comes after every capital.
  EXPECT_EQ(ModuleRegistry::Get().Entries().rbegin()->first, "random");
}

TEST(ModuleRegistry, EntryConstructorMarksClassListedEntries) {
  Module_Info entry("Test Plain", "Group Text", 0, 0, nullptr, nullptr, 0x100, "second", 7);
  EXPECT_EQ(entry.flags, 0x1100);
  EXPECT_EQ(entry.moduleNumber, 7);
  EXPECT_EQ(entry.secondText, "second");
  EXPECT_TRUE(entry.plugs.empty());  // no audio class to ask
  EXPECT_EQ(entry.MakeAudioObject(), nullptr);
  EXPECT_EQ(entry.documentFactory, nullptr);  // the document side makes a plain CUG
  EXPECT_EQ(entry.VisualObjectFactory(), nullptr);
  EXPECT_TRUE(entry.AllowsView(256));
  EXPECT_FALSE(entry.AllowsView(128));
}

TEST(ModuleRegistry, DescriptorFormMakesControlInputs) {
  const PlugDescriptor plugs[] = {{.name = "Pitch", .defaultText = "5"}, {.name = "Out", .direction = DR_OUT}};
  Module_Info entry(ModuleDescriptor{"Test Descriptor", 12, 34, nullptr, nullptr, 0x20, plugs});
  EXPECT_EQ(entry.flags, 0x20);
  EXPECT_EQ(entry.moduleNumber, -1);
  EXPECT_EQ(entry.displayNameId, 12);
  EXPECT_EQ(entry.groupId, 34);
  ASSERT_EQ(entry.plugs.size(), 2u);
  EXPECT_EQ(entry.plugs[0].flags, static_cast<std::uint32_t>(PF_CONTROL));
  EXPECT_EQ(entry.plugs[0].defaultText, "5");
  EXPECT_EQ(entry.plugs[1].flags, 0u);
}

TEST(ModuleRegistry, DisplayAndGroupNamesFallBackToTexts) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  Module_Info plain("Test Names", "Filters", 0, 0, nullptr, nullptr, 0);
  EXPECT_EQ(registry.DisplayName(plain), "Test Names");
  EXPECT_EQ(registry.GroupName(plain), "Filters");
  // No string resources on this platform: numbered names fall back too.
  Module_Info numbered("Test Numbered", "Mixers", 1234, 5678, nullptr, nullptr, 0);
  EXPECT_EQ(registry.DisplayName(numbered), "Test Numbered");
  EXPECT_EQ(registry.GroupName(numbered), "Mixers");
}

TEST(ModuleRegistry, FileTypeDirectoriesFollowThePluginFile) {
  const ModuleRegistry& registry = ModuleRegistry::Get();
  const std::string folder = PluginFolderFor(platform::ModulePath(), platform::PathSeparator());
  EXPECT_EQ(registry.DefaultDirectory("wav"), folder);
  EXPECT_EQ(registry.DefaultDirectory("unknown"), folder);
}

TEST(FileTypes, TwelveRowsInOrder) {
  const FileTypeTable table;
  const auto& rows = table.Rows();
  const char* expected[][2] = {{"default", "*"},       {"Wave Files", "wav"},      {"Kestrune Files", "kr1"},
                               {"MIDI Files", "mid"},  {"SoundFont Files", "sf2"}, {"Plugin", "dll"},
                               {"VST Bank", "fxb"},    {"VST Inst", "fxp"},        {"Image Files", "bmp"},
                               {"Image Files", "png"}, {"Embeddable Files", "*"},  {"", ""}};
  ASSERT_EQ(rows.size(), 12u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].description, expected[i][0]);
    EXPECT_EQ(rows[i].extension, expected[i][1]);
  }
}

TEST(FileTypes, PluginFolderAndLookup) {
  EXPECT_EQ(PluginFolderFor("C:\\x\\Synth.dll", '\\'), "C:\\x\\Synth\\");
  EXPECT_EQ(PluginFolderFor("/usr/lib/vst/Kestrune.so", '/'), "/usr/lib/vst/Kestrune/");
  EXPECT_EQ(PluginFolderFor("/a.b/Synth", '/'), "/a.b/Synth/");  // a dot in a folder is not an extension
  EXPECT_EQ(PluginFolderFor("Synth.dll", '\\'), "Synth\\");

  FileTypeTable table;
  table.SetPluginPath("C:\\x\\Synth.dll", '\\');
  for (const FileTypeRow& row : table.Rows()) EXPECT_EQ(row.directory, "C:\\x\\Synth\\");
  EXPECT_EQ(table.DefaultDirectory("WAV"), "C:\\x\\Synth\\");
  EXPECT_EQ(&table.DefaultDirectory("PnG"), &table.Rows()[9].directory);
  EXPECT_EQ(&table.DefaultDirectory("xyz"), &table.Rows()[0].directory);
}

}  // namespace

namespace {

TEST(Placeholders, TheModulesOwnRegistrationReplacesItInEitherOrder) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  krtest::MessageCapture messages;

  // Placeholder first (a name table), then the module itself.
  auto stand_in = NameOnlyEntry("Test Late Module", 0x100);
  stand_in->moduleNumber = 77;
  ASSERT_TRUE(registry.RegisterPlaceholder(std::move(stand_in)));
  const Module_Info* heldByADocument = registry.FindByName("Test Late Module");
  EXPECT_TRUE(heldByADocument->placeholder);
  ASSERT_TRUE(registry.Register(NameOnlyEntry("Test Late Module", 0x80)));
  // The replaced entry lives on: a loaded document may still point at it.
  EXPECT_EQ(heldByADocument->name, "Test Late Module");
  Module_Info* real = registry.FindByName("Test Late Module");
  EXPECT_FALSE(real->placeholder);
  EXPECT_EQ(real->flags & 0xFFF, 0x80);
  EXPECT_EQ(real->moduleNumber, 77);  // the legacy number stays
  EXPECT_EQ(registry.FindByName("BI77"), real);

  // The module first, then its placeholder.
  ASSERT_TRUE(registry.Register(NameOnlyEntry("Test Early Module", 0x80)));
  Module_Info* early = registry.FindByName("Test Early Module");
  EXPECT_FALSE(registry.RegisterPlaceholder(NameOnlyEntry("Test Early Module", 0x100)));
  EXPECT_EQ(registry.FindByName("Test Early Module"), early);
  EXPECT_TRUE(messages.texts.empty());

  // Two real registrations still clash.
  EXPECT_FALSE(registry.Register(NameOnlyEntry("Test Late Module")));
  EXPECT_EQ(messages.texts.size(), 1u);
}

}  // namespace

namespace {

TEST(ModuleInfo2, CarriesGuiPlugsBesideTheOrdinaryOnes) {
  const PlugDescriptor gui[] = {{.name = "Title", .type = DT_TEXT, .flags = PF_GUI}, {.name = "Pos"}};
  Module_Info2 entry("Test Gui", "", 0, 0, nullptr, nullptr, 0x180, gui, nullptr);
  EXPECT_EQ(entry.flags, 0x1180);
  ASSERT_EQ(entry.guiPlugs.size(), 2u);
  EXPECT_EQ(entry.guiPlugs[0].name, "Title");
  EXPECT_EQ(entry.guiPlugs[1].flags, static_cast<std::uint32_t>(PF_CONTROL));
  EXPECT_TRUE(entry.plugs.empty());
  EXPECT_EQ(entry.VisualObjectFactory(), nullptr);
  EXPECT_TRUE(entry.AllowsView(128));
}

}  // namespace
