// The sound modules replace their registry placeholders, keep legacy
// numbers, and list their plugs in order.
#include <gtest/gtest.h>

#include "modules/env/adsr.h"
#include "modules/env/env_8_stage.h"
#include "modules/env/envelope_ms.h"
#include "modules/env/vca.h"
#include "modules/osc/oscillator.h"
#include "modules/osc/oscillator_pd.h"
#include "modules/osc/test_tone.h"
#include "registry/module_registry.h"

namespace {

std::vector<std::string> PlugNames(const Module_Info& entry) {
  std::vector<std::string> names;
  for (const InterfaceObject& p : entry.plugs) names.push_back(p.name);
  return names;
}

template <class T>
bool MakesA(Module_Info& entry) {
  std::unique_ptr<ug_base> object = entry.MakeAudioObject();
  return dynamic_cast<T*>(object.get()) != nullptr;
}

}  // namespace

TEST(SoundRegistration, EveryModuleReplacesItsPlaceholder) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  for (const char* name : {"Oscillator", "Phase Dist Osc", "1 KHz Tone", "ADSR", "8 Stage Env", "Multistage Env", "VCA"}) {
    Module_Info* entry = registry.FindByName(name);
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_FALSE(entry->placeholder) << name;
    EXPECT_NE(entry->flags & MF_LISTED_BY_CLASS, 0) << name;
  }
  EXPECT_EQ(registry.FindByName("ADSR")->moduleNumber, 2);
  EXPECT_EQ(registry.FindByName("VCA")->moduleNumber, 13);
  EXPECT_EQ(registry.FindByName("BI2"), registry.FindByName("ADSR"));
  EXPECT_TRUE(MakesA<ug_adsr>(*registry.FindByName("BI2")));
  EXPECT_TRUE(MakesA<ug_vca>(*registry.FindByName("BI13")));
  EXPECT_TRUE(MakesA<ug_oscillator2>(*registry.FindByName("Oscillator")));
  EXPECT_TRUE(MakesA<ug_oscillator_pd>(*registry.FindByName("Phase Dist Osc")));
  EXPECT_TRUE(MakesA<ug_test_tone>(*registry.FindByName("1 KHz Tone")));
  EXPECT_TRUE(MakesA<ug_8_stage>(*registry.FindByName("8 Stage Env")));
  EXPECT_TRUE(MakesA<ug_envelope_ms>(*registry.FindByName("Multistage Env")));
  EXPECT_NE(registry.FindByName("Multistage Env")->flags & MF_PANEL_VIEW, 0) << "it has a panel editor";
}

TEST(SoundRegistration, PlugListsInOrder) {
  ModuleRegistry& registry = ModuleRegistry::Get();
  EXPECT_EQ(PlugNames(*registry.FindByName("Oscillator")),
            (std::vector<std::string>{"Pitch", "Pulse Width", "Waveform", "Audio Out", "Sync", "Phase Mod",
                                      "Freq Scale", "PM Depth", "Smooth Peaks (Gibbs Effect)",
                                      "Sync X-Fade (Anti Alias)"}));
  EXPECT_EQ(PlugNames(*registry.FindByName("Phase Dist Osc")),
            (std::vector<std::string>{"Pitch", "Modulation Depth", "Audio Out", "Wave1", "Wave2", "Freq Scale"}));
  EXPECT_EQ(PlugNames(*registry.FindByName("1 KHz Tone")), (std::vector<std::string>{"Signal Out"}));
  EXPECT_EQ(PlugNames(*registry.FindByName("ADSR")),
            (std::vector<std::string>{"Gate", "Attack", "Decay", "Sustain", "Release", "Overall Level", "Signal Out"}));
  EXPECT_EQ(PlugNames(*registry.FindByName("Multistage Env")),
            (std::vector<std::string>{"Gate", "Overall Level", "Signal Out", "Ignore Program Change"}));
  EXPECT_EQ(PlugNames(*registry.FindByName("VCA")),
            (std::vector<std::string>{"Signal", "Volume", "Output", "Response Curve"}));
  const auto eight = PlugNames(*registry.FindByName("8 Stage Env"));
  ASSERT_EQ(eight.size(), 21u);
  EXPECT_EQ(eight[1], "Rate 0");
  EXPECT_EQ(eight[2], "Level 0");
  EXPECT_EQ(eight[16], "Level 7");
  EXPECT_EQ(eight[17], "Overall Level");
  EXPECT_EQ(eight[20], "End Seg");

  const InterfaceList& osc = registry.FindByName("Oscillator")->plugs;
  EXPECT_EQ(osc[2].listText, "Sine, Saw, Ramp, Triangle, Pulse,White Noise,Pink Noise");
  EXPECT_EQ(osc[6].direction, DR_PARAMETER);
  EXPECT_EQ(osc[6].listText, "1 Volt/Octave, 1 Volt/kHz ");
  EXPECT_EQ(osc[8].dataType, DT_BOOL);
  const InterfaceList& vca = registry.FindByName("VCA")->plugs;
  EXPECT_EQ(vca[0].flags, static_cast<std::uint32_t>(PF_SIGNAL));
  EXPECT_EQ(vca[1].defaultText, "8");
  EXPECT_EQ(vca[3].listText, "Exponential=1,Linear,Decibel,Decibel (old)=0");
  const InterfaceList& env = registry.FindByName("8 Stage Env")->plugs;
  EXPECT_EQ(env[19].listText, "None=10,0=0,1,2,3,4,5,6,7");
  EXPECT_EQ(env[20].listText, "range 0,7");
  EXPECT_EQ(env[7].defaultText, "3") << "Rate 3";
  EXPECT_EQ(env[8].defaultText, "2") << "Level 3";
}
