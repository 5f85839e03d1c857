#include "support/params_support.h"

#include "registry/module_registry.h"

using namespace kr;

namespace kr::control_classes {
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
    {.name = "Channel",
     .type = DT_ENUM,
     .defaultText = "-1",
     .list = "All=-1,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16",
     .flags = 0x103},
    {.name = "MIDI In", .type = DT_MIDI, .defaultText = "0", .flags = 0x100},
    {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .flags = 0x100},
    {.name = "MIDI Controller ID",
     .direction = DR_PARAMETER,
     .type = DT_ENUM,
     .defaultText = "-1",
     .list = "<none>=-1,0,1,2,3,4,5,6,7",
     .flags = 0x1},
    {.name = "Ignore Program Change", .direction = DR_PARAMETER, .type = DT_BOOL, .defaultText = "0"},
    {.name = "MIDI NRPN", .direction = DR_PARAMETER, .type = DT_ENUM, .defaultText = "0", .list = "range 0,16255"},
};

const PlugDescriptor kMappingPlugs[] = {
    {.name = "Wave", .type = DT_ENUM, .defaultText = "5", .list = "Sine=0,Saw=5,Square=10,Noise=20"},
    {.name = "Hold", .type = DT_BOOL, .defaultText = "0"},
    {.name = "Level", .type = DT_DOUBLE, .defaultText = "5"},
    {.name = "File", .type = DT_TEXT, .defaultText = "a.wav", .list = "wav"},
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
