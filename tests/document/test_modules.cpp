#include "test_modules.h"

#include "document/controls.h"
#include "document/hosted_modules.h"
#include "document/panel_objects.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_registry.h"

using namespace kr;

namespace krtest {

namespace {

void Register(std::unique_ptr<Module_Info> entry, std::initializer_list<PlugDescriptor> plugs) {
  entry->plugs = MakeInterfaceList(std::span<const PlugDescriptor>(plugs.begin(), plugs.size()));
  RegisterModule(std::move(entry));
}

template <class T>
T& AddAs(DocumentBuilder& b, CContainer& parent, const char* className) {
  auto ob = DocumentBuilder::MakeByClassName(className);
  return static_cast<T&>(b.AddObject(parent, std::unique_ptr<CDocOb>(static_cast<CDocOb*>(ob.release()))));
}

}  // namespace

void RegisterTestModules() {
  static const bool done = [] {
    Register(std::make_unique<Module_Info>("T Source", "", 0, 0, nullptr, nullptr, MF_STRUCTURE_VIEW, "", 901),
             {{.name = "Out", .direction = DR_OUT},
              {.name = "Value Out", .direction = DR_OUT, .type = DT_FLOAT},
              {.name = "Mode", .type = DT_ENUM, .defaultText = "0", .list = "A,B"},
              {.name = "Name", .type = DT_TEXT, .defaultText = "x", .flags = PF_RENAME},
              {.name = "Knob", .type = DT_FLOAT, .defaultText = "5", .flags = PF_GUI | PF_PATCH_VALUE},
              {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI},
              {.name = "Echo", .direction = DR_OUT, .type = DT_FLOAT, .flags = PF_OUTPUT_VALUE},
              {.name = "Mode Out", .direction = DR_OUT, .type = DT_ENUM, .defaultText = "0", .list = "A,B"}});
    Register(std::make_unique<Module_Info>("T Sink", "", 0, 0, nullptr, nullptr, MF_STRUCTURE_VIEW, "", 902),
             {{.name = "In", .flags = PF_SIGNAL},
              {.name = "Value In", .type = DT_FLOAT, .defaultText = "2.5"},
              {.name = "Mode", .type = DT_ENUM, .defaultText = "0", .list = "A,B"},
              {.name = "MIDI In", .type = DT_MIDI},
              {.name = "Other List", .type = DT_ENUM, .defaultText = "0", .list = "X,Y"},
              {.name = "Any List", .type = DT_ENUM, .defaultText = "0", .flags = PF_ANY_LIST}});
    static const PlugDescriptor guiPlugs[] = {
        {.name = "Gui Value", .direction = DR_OUT, .type = DT_FLOAT, .defaultText = "1"}};
    auto gui =
        std::make_unique<Module_Info2>("T Gui", "", 0, 0, nullptr, nullptr, MF_PANEL_VIEW, guiPlugs, nullptr, "", 903);
    Register(std::move(gui), {{.name = "Plain", .type = DT_FLOAT}});
    return true;
  }();
  (void)done;
}

std::unique_ptr<StoredDocument> MakeRichDocument() {
  RegisterTestModules();
  DocumentBuilder b;
  CContainer& root = b.Root();
  CUG& src = b.AddModule(root, "T Source");
  CUG& sink = b.AddModule(root, "T Sink");
  CUG& sink2 = b.AddModule(root, "T Sink");
  sink2.SetTitle("Second sink");
  sink2.SetDisabled(true);
  sink2.SetRect(kStructureView, {1, 2, 3, 4});
  b.Connect(b.Plug(src, "Out"), b.Plug(sink, "In"));
  b.Connect(b.Plug(src, "Out"), b.Plug(sink2, "In"));
  b.Connect(b.Plug(src, "Value Out"), b.Plug(sink, "Value In"));
  b.AddModule(root, "T Gui");

  CContainer& inner = b.AddContainer(root);
  inner.SetTitle("Inner");
  inner.panelRect = {5, 6, 7, 8};
  inner.windowRects[0] = {1, 1, 2, 2};
  inner.scrollPositions[1] = {3, 4};
  inner.flags = 0x180;
  inner.skinName = "chrome";
  inner.SetSpareOption(true);
  b.Plug(inner, "Polyphony").SetValueText("4");
  b.Plug(inner, "Show Controls").SetValueText("2");
  auto [midiOuter, midiInner] = b.AddBoundaryPlug(inner, DR_IN, DT_MIDI, "midi");
  b.AddBoundaryPlug(inner, DR_OUT, DT_AUDIO, "out");
  CUG& innerSink = b.AddModule(inner, "T Sink");
  b.Connect(b.Plug(src, "MIDI Out"), *midiOuter);
  b.Connect(*midiInner, b.Plug(innerSink, "MIDI In"));
  auto feature = std::make_unique<CPlugFeature>(kClassCPlugFeature2);
  feature->featureIndex = 0;
  feature->name_ = "Controls on Parent";
  feature->dataType_ = DT_BOOL;
  feature->storedFlags = PF_SHOW_WHEN_OPEN;
  feature->secondText = "second";
  feature->SetValueText("1");
  inner.AddPlug(std::move(feature));
  auto feature3 = std::make_unique<CPlugFeature3>();
  feature3->featureIndex = 2;
  feature3->extraOption = true;
  feature3->dataType_ = DT_BOOL;
  inner.AddPlug(std::move(feature3));
  auto controled = std::make_unique<CPlugControled>(-1);
  controled->bindingA = 7;
  controled->bindingB = -3;
  controled->bindingText = "bound";
  controled->SetUserName("ctl");
  src.AddPlug(std::move(controled));

  b.AddObject(root, std::make_unique<CPanelBox2>(FindModuleEntry("Panel Group"), "Group", DocRect{10, 20, 30, 40}));
  auto& portal = AddAs<CPortal>(b, root, "CPortal");
  portal.text = "portal";
  portal.rect = {1, 2, 3, 4};
  portal.mode = 1;
  auto& cob = AddAs<control_ob_base>(b, root, "control_ob_bitmap");
  cob.target = &src;
  cob.rect = {4, 3, 2, 1};
  auto& group = AddAs<control_group_ob>(b, root, "control_group_ob");
  group.members.push_back(&cob);
  auto& tabs = AddAs<CTabBox>(b, root, "CTabBox");
  tabs.tabRect = {9, 9, 9, 9};
  tabs.tabs.emplace_back(&src, 1);
  tabs.tabs.emplace_back(&sink, 2);

  auto& slider = AddAs<CControl>(b, root, "Ctl_Slider");
  slider.numbers = {0.25};
  slider.key = 77;
  slider.rect = {1, 1, 5, 5};
  slider.text = "slider";
  auto& combo = AddAs<CControl>(b, root, "Ctl_Combo");
  combo.integers = {1, 2, 3};
  auto& textCtl = AddAs<CControl>(b, root, "Ctl_Text");
  textCtl.texts = {"one", "two"};
  AddAs<CControl>(b, root, "Ctl_Env_Edit").numbers = {1.0, 2.0};
  b.AddModule(root, "Patch Select");
  auto& patt = AddAs<CPattSeq>(b, root, "CPattSeq");
  patt.setting = 4;
  patt.list = {1, 2};
  patt.laterSetting = 9;
  auto& step2 = AddAs<CStepSeq2>(b, root, "CStepSeq2");
  step2.patterns[0] = {SequencerStep{{1, 2, 3, 4}}};
  step2.stepFlags[0] = {1};
  auto& drum = AddAs<CDrumSeq>(b, root, "CDrumSeq");
  drum.patterns[31] = {5, 6};
  auto& step = AddAs<CStepSeq>(b, root, "CStepSeq");
  step.patterns = {{SequencerStep{{4, 3, 2, 1}}}, {}};
  step.list = {8};
  step.booleanSetting = true;

  auto& plugin = AddAs<CPlugin2>(b, root, "CPlugin2");
  plugin.libraryFile = "lib.krm";
  plugin.panelRect = {2, 2, 4, 4};
  auto& vst = AddAs<Ctl_VST_Plugin>(b, root, "Ctl_VST_Plugin");
  vst.pluginPath = "C:\\plugins\\Synth.dll";
  vst.state.uniqueId = 0x41424344;
  vst.state.parameterCount = 2;
  vst.state.programs = {HostedProgram{"p1", {0.5f, 1.0f}, {}}, HostedProgram{"p2", {0.0f, 0.25f}, {}}};
  vst.state.programCount = 2;
  vst.state.currentProgram = 1;
  vst.state.automationBindings = {0x00010002};
  auto& vstChunks = AddAs<Ctl_VST_Plugin>(b, root, "Ctl_VST_Plugin");
  vstChunks.pluginPath = "Chunky.dll";
  vstChunks.state.chunkFlag = 1;
  vstChunks.state.bankChunk = {1, 2, 3};
  vstChunks.state.programs = {HostedProgram{"c1", {}, {}}};
  vstChunks.state.programCount = 1;

  AddAs<CUG2>(b, root, "Ctl_Keyboard2").panelRect = {7, 7, 8, 8};
  AddAs<CUG2>(b, root, "Ctl_WaveShape2").panelRect = {6, 6, 9, 9};
  AddAs<CUG>(b, root, "ui_spring");
  AddAs<CUG>(b, root, "ui_bools_to_enum");
  AddAs<CUG>(b, root, "CSwitch");
  AddAs<CDocOb>(b, root, "CDocOb");

  CPatchManager& memory = root.EnsurePatchMemory();
  memory.AddPatchName("First");
  memory.AddPatchName("Second");
  memory.SelectPatch(1);
  for (int type : {0, 1, 4, 6, 8}) {
    StoredPatchParameter p;
    p.typeNumber = type;
    p.identifier = type;
    p.plug = &b.Plug(src, "Knob");
    p.name = "param";
    p.midiController = 0x2000007;
    p.hiddenFromHost = true;
    p.FillSlots(type == 1 ? "text" : "3");
    memory.parameters.push_back(std::move(p));
  }

  b.EmbedFile("a.wav", {1, 2, 3});
  b.EmbedFile("b.krm", {});
  auto skin = std::make_unique<SkinInfo>();
  skin->name = "chrome";
  auto image = std::make_unique<CAnimBitmap>();
  image->name = "knob";
  image->width = 2;
  image->height = 1;
  image->png = {0x89, 'P', 'N', 'G'};
  image->paddingTop = 3;
  skin->images.push_back(std::move(image));
  auto style = std::make_unique<SkinFontInfo>();
  style->name = "normal";
  style->face = "Arial";
  style->background = 0x10;
  skin->styles.push_back(std::move(style));
  b.Document().skins.push_back(std::move(skin));

  DocumentHeaderSettings& s = b.Document().settings;
  s.documentText = "doc";
  s.booleanSetting = true;
  s.privateCopy = true;
  s.uniqueId = "Kstr";
  s.fullLoadText = "full";
  s.unusedNumber = 12;
  s.aboutText = "about";
  s.monoCapable = false;
  s.panelWidth = 640;
  s.panelHeight = 480;
  s.pluginFlags = 1;
  s.programCount = 32;
  s.vendor = "Vendor";
  s.vendorExtra = "extra";
  s.product = "Product";
  return b.Finish();
}

std::vector<std::uint8_t> Write(const StoredDocument& doc, int version) { return WriteDocument(doc, version); }

DocumentLoadResult Read(const std::vector<std::uint8_t>& bytes, LoadMode mode) { return ReadDocument(bytes, mode); }

}  // namespace krtest
