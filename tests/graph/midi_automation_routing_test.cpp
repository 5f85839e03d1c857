// The hidden MIDI connections of MIDI automation, with stand-ins for the
// automator, its output module, the controls and the patch-parameter setter
// and watcher.
#include <gtest/gtest.h>

#include <algorithm>

#include "document/controls.h"
#include "document/document_builder.h"
#include "engine/ug_container.h"
#include "engine/ug_control.h"
#include "graph/midi_automation_routing.h"
#include "graph_support.h"
#include "registry/module_registry.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr const char* kAutomator = "Test Automator";
constexpr const char* kSlider = "Test Slider";  // document class Ctl_Slider
constexpr const char* kLed = "Test LED";        // document class Ctl_LED: not automated
constexpr const char* kBareSlider = "Test Bare Slider";  // Ctl_Slider without the MIDI plugs
constexpr const char* kSetter = "Test Param Setter";
constexpr const char* kWatcher = "Test Param Watcher";

void AddMidi(InterfaceList& list, const char* name, PlugDirection direction) {
  list.emplace_back(nullptr, nullptr, name, direction, DT_MIDI, "0", "", PF_HIDDEN);
}

class StandInAutomator : public ug_base {
 public:
  StandInAutomator() { flags |= UGF_SORT_EARLY; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<StandInAutomator>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&channel_, &typeid(std::int16_t), "Channel", DR_IN, DT_ENUM, "-1", "All=-1,1,2", 0x3);
    AddMidi(list, "MIDI In", DR_IN);
    AddMidi(list, "MIDI Out", DR_OUT);
    AddMidi(list, "Hidden Output", DR_OUT);
  }

 private:
  std::int16_t channel_ = -1;
};

class StandInAutomatorOut : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<StandInAutomatorOut>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&channel_, &typeid(std::int16_t), "Channel", DR_IN, DT_ENUM, "0", "All=-1,1,2", 0x3);
    AddMidi(list, "Hidden Input", DR_IN);
    AddMidi(list, "MIDI Out", DR_OUT);
    AddMidi(list, "Hidden Output", DR_OUT);
  }

 private:
  std::int16_t channel_ = 0;
};

// Places its output module beside itself and registers both, when the voice
// container that receives it is its patch owner.
class StandInAutomatorDoc : public CUG {
 public:
  using CUG::CUG;
  void AudioObjectPlaced(ug_container& target, ug_base* patchOwner) override {
    if (&target != patchOwner) return;
    auto output = std::make_unique<StandInAutomatorOut>();
    output->CreatePlugs();
    output->AllocatePlugData();
    ug_base* placed = target.AddModule(std::move(output));
    placed->patchOwner = patchOwner;
    target.RecordMidiAutomator(AudioObject(), placed);
  }
};

class StandInControl : public ug_control {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<StandInControl>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&channel_, &typeid(std::int16_t), "Channel", DR_IN, DT_ENUM, "-1", "All=-1,1,2", 0x103);
    AddMidi(list, "MIDI In", DR_IN);
    AddMidi(list, "MIDI Out", DR_OUT);
    list.emplace_back(&controllerNumber, &typeid(std::int16_t), "MIDI Controller ID", DR_PARAMETER, DT_ENUM, "-1",
                      "<none>=-1,0,1,2,3,4,5,6,7", 0x1);
    list.emplace_back(&ignoreProgramChange, &typeid(bool), "Ignore Program Change", DR_PARAMETER, DT_BOOL, "0");
    list.emplace_back(&nrpnNumber, &typeid(std::int16_t), "MIDI NRPN", DR_PARAMETER, DT_ENUM, "0", "range 0,16255");
  }

 private:
  std::int16_t channel_ = -1;
};

// What a control made from a document without its first plugs amounts to.
class BareControl : public ug_control {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<BareControl>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(&controllerNumber, &typeid(std::int16_t), "MIDI Controller ID", DR_PARAMETER, DT_ENUM, "-1",
                      "<none>=-1,0,1,2,3,4,5,6,7", 0x1);
  }
};

// The patch-parameter setter (flag 0x40000) or watcher (0x80000).
template <std::uint32_t Flag>
class StandInParamHelper : public ug_base {
 public:
  StandInParamHelper() { flags |= Flag | UGF_NEVER_SUSPEND; }
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<StandInParamHelper>(); }
  void ListInterface(InterfaceList& list) override {
    AddMidi(list, "MIDI In", DR_IN);
    AddMidi(list, "MIDI Out", DR_OUT);
  }
};

template <const char* ClassName>
std::unique_ptr<CUG> MakeControlDocument(Module_Info* entry) {
  std::unique_ptr<CObject> made = DocumentBuilder::MakeByClassName(ClassName);
  auto* control = dynamic_cast<CControl*>(made.get());
  if (control == nullptr) return nullptr;
  made.release();
  control->SetEntry(entry);
  control->CreatePlugs();
  return std::unique_ptr<CUG>(control);
}

constexpr char kSliderClass[] = "Ctl_Slider";
constexpr char kLedClass[] = "Ctl_LED";

const bool kRegistered = [] {
  RegisterModule(std::make_unique<Module_Info>(
      kAutomator, "", 0, 0, [](Module_Info* e) -> std::unique_ptr<CUG> { return std::make_unique<StandInAutomatorDoc>(e); },
      AudioFactoryFor<StandInAutomator>, MF_STRUCTURE_VIEW | MF_VOICE_SOURCE));
  RegisterModule(std::make_unique<Module_Info>(kSlider, "", 0, 0, &MakeControlDocument<kSliderClass>,
                                               AudioFactoryFor<StandInControl>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kBareSlider, "", 0, 0, &MakeControlDocument<kSliderClass>,
                                               AudioFactoryFor<BareControl>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kLed, "", 0, 0, &MakeControlDocument<kLedClass>,
                                               AudioFactoryFor<StandInControl>, MF_STRUCTURE_VIEW | MF_PANEL_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kSetter, "", 0, 0, nullptr,
                                               AudioFactoryFor<StandInParamHelper<UGF_PATCH_PARAM_SETTER>>,
                                               MF_STRUCTURE_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kWatcher, "", 0, 0, nullptr,
                                               AudioFactoryFor<StandInParamHelper<UGF_PATCH_PARAM_WATCHER>>,
                                               MF_STRUCTURE_VIEW));
  return true;
}();

// The owners of the plugs that a plug's connections lead to (inputs: their
// sources; outputs: their receivers), with an inserted adder looked through.
std::vector<ug_base*> Peers(UPlug* plug) {
  std::vector<ug_base*> peers;
  for (connector* c : plug->connections) {
    UPlug* other = plug->IsInput() ? c->from : c->to;
    if (plug->IsInput() && other->owner->docModule == nullptr && other->owner->PlugCount() == 2 &&
        other == other->owner->GetPlug(0)) {
      for (ug_base* p : Peers(other->owner->GetPlug(1))) peers.push_back(p);  // the "MIDI Adder2"
      continue;
    }
    peers.push_back(other->owner);
  }
  return peers;
}

// The audio objects of some modules in the order the builder placed them in
// the voice list: the container's children order. (The list itself is in
// sort order once the graph is finished.)
std::vector<ug_base*> InPlacingOrder(const CContainer& c, std::vector<CUG*> wanted) {
  std::vector<ug_base*> ordered;
  for (const auto& child : c.Children())
    if (std::find(wanted.begin(), wanted.end(), child.get()) != wanted.end())
      ordered.push_back(static_cast<CUG*>(child.get())->AudioObject());
  return ordered;
}

struct AutomatedPatch {
  Patch p = MakePatch(0, 1);
  CContainer* voice = nullptr;
  CUG* automator = nullptr;
  CUG* slider7 = nullptr;
  CUG* slider3 = nullptr;
  CUG* sliderNone = nullptr;
  CUG* led = nullptr;
  CUG* bare = nullptr;
  CUG* setter = nullptr;
  CUG* watcher = nullptr;

  // ignoreProgramChange makes "Voice" its own patch owner.
  explicit AutomatedPatch(bool ownPatchOwner) {
    voice = &p.AddContainer(*p.top, "Voice");
    if (ownPatchOwner) voice->SetFeatureValue(2, true);
    slider7 = &Control(kSlider, "7");
    setter = &p.Add(*voice, kSetter);
    automator = &p.Add(*voice, kAutomator);
    led = &Control(kLed, "7");
    sliderNone = &Control(kSlider, "-1");
    watcher = &p.Add(*voice, kWatcher);
    bare = &Control(kBareSlider, "5");
    slider3 = &Control(kSlider, "3");
    WireHost(p);
  }
  CUG& Control(const char* name, const char* controller) {
    CUG& c = p.Add(*voice, name);
    PlugNamed(c, "MIDI Controller ID").SetValueText(controller);
    return c;
  }
  ug_container& VoiceObject() { return dynamic_cast<ug_container&>(*voice->AudioObject()); }
};

}  // namespace

TEST(MidiAutomationRouting, HiddenConnectionsInVoiceListOrderPutTheAutomatorFirstAndItsOutputLast) {
  using namespace automation_plugs;
  AutomatedPatch a(true);
  Rig rig;
  ASSERT_TRUE(rig.Start(a.p, 64, 0, 1));
  ug_container& voice = a.VoiceObject();
  ASSERT_EQ(voice.midiAutomator, a.automator->AudioObject());
  ASSERT_NE(voice.midiAutomatorOut, nullptr);
  ug_base* automator = voice.midiAutomator;
  ug_base* output = voice.midiAutomatorOut;
  ug_base* slider7 = a.slider7->AudioObject();
  ug_base* slider3 = a.slider3->AudioObject();
  ug_base* setter = a.setter->AudioObject();
  ug_base* watcher = a.watcher->AudioObject();

  EXPECT_EQ(Peers(automator->GetPlug(kAutomatorHiddenOutput)), InPlacingOrder(*a.voice, {a.slider7, a.slider3, a.setter}));
  EXPECT_EQ(Peers(output->GetPlug(kOutputHiddenInput)), InPlacingOrder(*a.voice, {a.slider7, a.slider3, a.watcher}));
  for (ug_base* served : {slider7, slider3}) {
    EXPECT_EQ(Peers(served->GetPlug(kControlMidiIn)), std::vector<ug_base*>{automator});
    EXPECT_EQ(served->GetPlug(kControlMidiOut)->connections.size(), 1u);
  }
  EXPECT_TRUE(setter->GetPlug(kHelperMidiOut)->connections.empty());
  EXPECT_TRUE(watcher->GetPlug(kHelperMidiIn)->connections.empty());
  // An LED is not moved by automation; a control without a controller is left out.
  for (CUG* left : {a.led, a.sliderNone}) {
    EXPECT_TRUE(left->AudioObject()->GetPlug(kControlMidiIn)->connections.empty()) << left->Title();
    EXPECT_TRUE(left->AudioObject()->GetPlug(kControlMidiOut)->connections.empty()) << left->Title();
  }

  EXPECT_EQ(a.bare->AudioObject()->PlugCount(), 1);  // has nothing to wire: skipped without harm

  // Larger orders run first.
  for (ug_base* served : {slider7, slider3, setter}) EXPECT_GT(automator->sortOrder, served->sortOrder);
  for (ug_base* served : {slider7, slider3, watcher}) EXPECT_LT(output->sortOrder, served->sortOrder);
  EXPECT_GE(automator->sortOrder, 200);  // sorts early by its own flag
}

TEST(MidiAutomationRouting, NothingIsWiredWithoutARecordedAutomator) {
  using namespace automation_plugs;
  AutomatedPatch a(false);  // "Voice" follows the root's programs: the automator does not register
  Rig rig;
  ASSERT_TRUE(rig.Start(a.p, 64, 0, 1));
  ug_container& voice = a.VoiceObject();
  EXPECT_EQ(voice.midiAutomator, nullptr);
  EXPECT_EQ(voice.midiAutomatorOut, nullptr);
  EXPECT_TRUE(a.automator->AudioObject()->GetPlug(kAutomatorHiddenOutput)->connections.empty());
  for (CUG* m : {a.slider7, a.slider3}) {
    EXPECT_TRUE(m->AudioObject()->GetPlug(kControlMidiIn)->connections.empty());
    EXPECT_TRUE(m->AudioObject()->GetPlug(kControlMidiOut)->connections.empty());
  }
  EXPECT_TRUE(a.setter->AudioObject()->GetPlug(kHelperMidiIn)->connections.empty());
  EXPECT_TRUE(a.watcher->AudioObject()->GetPlug(kHelperMidiOut)->connections.empty());
}

TEST(MidiAutomationRouting, OnlyTheSixControlClassesAnswerTheQuery) {
  const char* yes[] = {"Ctl_Combo", "Ctl_Slider", "Ctl_PeakMeter", "Ctl_VoltMeter", "ui_control2", "ui_param_float_out"};
  const char* no[] = {"Ctl_LED", "Ctl_Text", "Ctl_PushButton", "CControl", "CUG", "ui_param_float_out2", "CContainer"};
  for (const char* name : yes) {
    auto made = DocumentBuilder::MakeByClassName(name);
    auto* module = dynamic_cast<CUG*>(made.get());
    ASSERT_NE(module, nullptr) << name;
    EXPECT_TRUE(module->TakesMidiAutomation()) << name;
  }
  for (const char* name : no) {
    auto made = DocumentBuilder::MakeByClassName(name);
    auto* module = dynamic_cast<CUG*>(made.get());
    ASSERT_NE(module, nullptr) << name;
    EXPECT_FALSE(module->TakesMidiAutomation()) << name;
  }
}
