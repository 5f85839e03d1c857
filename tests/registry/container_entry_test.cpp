// "Container" is registered by its audio class: legacy number 3, its flags,
// and a plug list from which a new document container makes its plugs.
#include <gtest/gtest.h>

#include "document/container.h"
#include "document/plug2.h"
#include "engine/ug_container.h"
#include "registry/module_registry.h"

using namespace kr;

namespace {

TEST(ContainerEntry, ReplacesThePlaceholderAndKeepsNumberAndFlags) {
  Module_Info* entry = ModuleRegistry::Get().FindByName("Container");
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(entry->placeholder);
  EXPECT_EQ(entry->moduleNumber, 3);
  EXPECT_EQ(ModuleRegistry::Get().FindByName("BI3"), entry);
  EXPECT_EQ(entry->flags, MF_CONTAINER_1 | MF_CONTAINER_2 | MF_STRUCTURE_VIEW | MF_PANEL_VIEW | MF_LISTED_BY_CLASS);
  EXPECT_NE(dynamic_cast<ug_container*>(entry->MakeAudioObject().get()), nullptr);

  ASSERT_EQ(entry->plugs.size(), 4u);
  const InterfaceObject& spare = entry->plugs[0];
  EXPECT_EQ(spare.name, "Spare");
  EXPECT_EQ(spare.direction, DR_CONTAINER_IO);
  EXPECT_EQ(spare.dataType, DT_AUDIO);
  EXPECT_EQ(spare.defaultText, "0");
  EXPECT_EQ(spare.flags, std::uint32_t{PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT});
  EXPECT_EQ(spare.hint, "Connection to a module inside");
  const InterfaceObject& polyphony = entry->plugs[1];
  EXPECT_EQ(polyphony.name, "Polyphony");
  EXPECT_EQ(polyphony.direction, DR_PARAMETER);
  EXPECT_EQ(polyphony.dataType, DT_ENUM);
  EXPECT_EQ(polyphony.defaultText, "6");
  EXPECT_EQ(polyphony.listText, "range 1,200");
  EXPECT_EQ(polyphony.flags, 0u);
  EXPECT_EQ(polyphony.hint,
            "Limits the number of notes you can play at once. (Changes take effect next time you re-start the "
            "sound)");
  const InterfaceObject& automation = entry->plugs[2];
  EXPECT_EQ(automation.name, "MIDI Automation");
  EXPECT_EQ(automation.direction, DR_PARAMETER);
  EXPECT_EQ(automation.dataType, DT_BOOL);
  EXPECT_EQ(automation.defaultText, "");
  EXPECT_EQ(automation.flags, std::uint32_t{PF_HIDDEN});
  const InterfaceObject& show = entry->plugs[3];
  EXPECT_EQ(show.name, "Show Controls");
  EXPECT_EQ(show.direction, DR_PARAMETER);
  EXPECT_EQ(show.dataType, DT_ENUM);
  EXPECT_EQ(show.defaultText, "0");
  EXPECT_EQ(show.listText, "Off,On Panel,On Module");
  EXPECT_EQ(show.flags, std::uint32_t{PF_HIDDEN});
}

TEST(ContainerEntry, ANewDocumentContainerHasTheSpareAndThreeParameterPlugs) {
  std::unique_ptr<CUG> made = MakeDocumentObjectByName("Container");
  auto* container = dynamic_cast<CContainer*>(made.get());
  ASSERT_NE(container, nullptr);
  const auto& plugs = container->Plugs();
  ASSERT_EQ(plugs.size(), 4u);
  const auto* spare = DynamicKind<CPlugIO2>(plugs[0].get());
  ASSERT_NE(spare, nullptr) << "a boundary definition makes a boundary plug";
  EXPECT_EQ(spare->DefinitionIndex(), 0);
  EXPECT_EQ(spare->Name(), "Spare");
  EXPECT_EQ(spare->Direction(), DR_CONTAINER_IO);
  EXPECT_EQ(spare->DataType(), DT_AUDIO);
  EXPECT_EQ(spare->Partner(), nullptr);
  const char* names[] = {"Polyphony", "MIDI Automation", "Show Controls"};
  const char* values[] = {"6", "", "0"};
  for (int i = 1; i < 4; ++i) {
    const CPlug2& plug = *plugs[static_cast<std::size_t>(i)];
    EXPECT_EQ(DynamicKind<CPlugIO2>(&plug), nullptr);
    EXPECT_EQ(plug.DefinitionIndex(), i);
    EXPECT_EQ(plug.Name(), names[i - 1]);
    EXPECT_EQ(plug.Direction(), DR_PARAMETER);
    EXPECT_EQ(plug.ValueText(), values[i - 1]);
  }
  EXPECT_EQ(container->FindPlug("Spare"), plugs[0].get());
}

TEST(ContainerEntry, VoiceCountStaysInsideThePlugRange) {
  ug_container container;
  EXPECT_EQ(container.MaxVoices(), 8) << "8 until the plug value is applied";
  for (auto [stored, used] : {std::pair{4, 4}, {1, 1}, {200, 200}, {0, 1}, {-5, 1}, {201, 200}, {32000, 200}}) {
    container.polyphony = static_cast<std::int16_t>(stored);
    EXPECT_EQ(container.MaxVoices(), used) << stored;
  }
}

}  // namespace
