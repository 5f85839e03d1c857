// Entries that make audio objects: the plug list read from a sample object,
// and the legacy positions whose audio class is shared.
#include <gtest/gtest.h>

#include "engine/ug_base.h"
#include "modules/delay/ug_delay.h"
#include "modules/mix/ug_switch.h"
#include "registry/module_registry.h"

using namespace kr;

namespace {

int liveSamples = 0;

class test_listing_module : public ug_base {
 public:
  test_listing_module() { ++liveSamples; }
  ~test_listing_module() override { --liveSamples; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<test_listing_module>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Signal In", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL, "", &in_);
    list.emplace_back(&level_, &typeid(float), "Level", DR_IN, DT_FLOAT, "5");
    list.emplace_back(nullptr, nullptr, "Pitch", DR_IN, DT_AUDIO, "5", "", 0, "1 Volt per Octave", &pitch_);
  }

 private:
  float* in_ = nullptr;
  float* pitch_ = nullptr;
  float level_ = 0;
};

TEST(EntryConstructor, ListsPlugsFromATemporaryAudioObject) {
  Module_Info entry("Test Listing", "", 0, 0, nullptr, AudioFactoryFor<test_listing_module>, 0x100);
  EXPECT_EQ(liveSamples, 0);  // the sample object is gone again
  EXPECT_EQ(entry.flags, 0x1100);
  ASSERT_EQ(entry.plugs.size(), 3u);
  EXPECT_EQ(entry.plugs[0].name, "Signal In");
  EXPECT_EQ(entry.plugs[1].name, "Level");
  EXPECT_EQ(entry.plugs[2].flags, static_cast<std::uint32_t>(PF_CONTROL));
  EXPECT_EQ(entry.plugs[2].hint, "1 Volt per Octave");
  for (const InterfaceObject& plug : entry.plugs) {
    EXPECT_EQ(plug.valueBinding, nullptr);  // they pointed into the sample object
    EXPECT_EQ(plug.bufferBinding, nullptr);
  }
  std::unique_ptr<ug_base> live = entry.MakeAudioObject();
  EXPECT_NE(dynamic_cast<test_listing_module*>(live.get()), nullptr);
  EXPECT_EQ(liveSamples, 1);
}

template <class T>
bool MakesA(const char* name) {
  Module_Info* entry = ModuleRegistry::Get().FindByName(name);
  if (entry == nullptr) return false;
  std::unique_ptr<ug_base> object = entry->MakeAudioObject();
  if (dynamic_cast<T*>(object.get()) == nullptr) return false;
  return dynamic_cast<T*>(object->CreateSame().get()) != nullptr;
}

TEST(LegacyTable, PositionsThatShareAClass) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  EXPECT_EQ(registry.FindByName("BI18")->Name(), "MIDI Adder(obsolete)");
  EXPECT_TRUE(MakesA<ug_delay>("BI18"));
  EXPECT_TRUE(MakesA<ug_delay>("Delay"));
  EXPECT_EQ(registry.FindByName("BI34")->Name(), "Z-Filter obsolete");
  EXPECT_TRUE(MakesA<ug_switch>("BI34"));
  EXPECT_TRUE(MakesA<ug_switch>("Switch (1->Many)"));
  EXPECT_EQ(registry.FindByName("Panel Group")->MakeAudioObject(), nullptr);
}

}  // namespace
