// Modules stored as their panel controls are made as those controls (the
// class a saved patch names), whoever registered their audio side.
#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "document/container.h"
#include "document/controls.h"
#include "registry/module_registry.h"

using namespace kr;

TEST(StoredControls, DrawnEnvelopeAndSoundFontModulesAreMadeAsTheirControls) {
  const std::pair<const char*, const RuntimeClass*> cases[] = {{"Multistage Env", &control_classes::kEnvEdit},
                                                               {"Soundfont Oscillator", &control_classes::kOscSf},
                                                               {"Soundfont Player", &control_classes::kSamplePlay2}};
  for (const auto& [name, cls] : cases) {
    std::unique_ptr<CUG> made = MakeDocumentObjectByName(name);
    const auto* control = dynamic_cast<const CControl*>(made.get());
    ASSERT_NE(control, nullptr) << name;
    EXPECT_EQ(&control->Class(), cls) << name;
    EXPECT_EQ(control->Entry(), ModuleRegistry::Get().FindByName(name)) << name;
  }
}
