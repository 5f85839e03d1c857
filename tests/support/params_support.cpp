#include "support/params_support.h"

#include "registry/module_registry.h"

namespace control_classes {
extern const RuntimeClass kSlider, kCombo, kLED, kPeakMeter, kText;
}

namespace krtest {

std::unique_ptr<CContainer> MakeContainer(const std::string& title) {
  auto made = std::unique_ptr<CContainer>(static_cast<CContainer*>(MakeDocumentObjectByName("Container").release()));
  made->SetTitle(title);
  return made;
}

CContainer& AddContainer(CContainer& parent, const std::string& title) {
  return static_cast<CContainer&>(parent.AddChild(MakeContainer(title)));
}

namespace {
const PlugDescriptor kControlPlugs[] = {
    {"Channel", DR_IN, DT_ENUM, "-1", "All=-1,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", 0x103},
    {"MIDI In", DR_IN, DT_MIDI, "0", "", 0x100},
    {"MIDI Out", DR_OUT, DT_MIDI, "", "", 0x100},
    {"MIDI Controller ID", DR_PARAMETER, DT_ENUM, "-1", "<none>=-1,0,1,2,3,4,5,6,7", 0x1},
    {"Ignore Program Change", DR_PARAMETER, DT_BOOL, "0", "", 0},
    {"MIDI NRPN", DR_PARAMETER, DT_ENUM, "0", "range 0,16255", 0},
};

const PlugDescriptor kMappingPlugs[] = {
    {"Wave", DR_IN, DT_ENUM, "5", "Sine=0,Saw=5,Square=10,Noise=20"},
    {"Hold", DR_IN, DT_BOOL, "0"},
    {"Level", DR_IN, DT_DOUBLE, "5"},
    {"File", DR_IN, DT_TEXT, "a.wav", "wav"},
};
}  // namespace

CControl& AddControl(CContainer& parent, const RuntimeClass& cls, const std::string& title) {
  static Module_Info entry(ModuleDescriptor{"Test Control", 0, 0, nullptr, nullptr, 0, kControlPlugs});
  auto control = std::make_unique<CControl>(cls);
  control->SetEntry(&entry);
  control->CreatePlugs();
  control->SetTitle(title);
  return static_cast<CControl&>(parent.AddChild(std::move(control)));
}

const RuntimeClass& SliderClass() { return control_classes::kSlider; }
const RuntimeClass& ComboClass() { return control_classes::kCombo; }
const RuntimeClass& LedClass() { return control_classes::kLED; }
const RuntimeClass& PeakMeterClass() { return control_classes::kPeakMeter; }
const RuntimeClass& TextClass() { return control_classes::kText; }

Module_Info& PlugTestEntry() {
  static Module_Info entry(ModuleDescriptor{"Test Plugs", 0, 0, nullptr, nullptr, 0, kMappingPlugs});
  return entry;
}

}  // namespace krtest
