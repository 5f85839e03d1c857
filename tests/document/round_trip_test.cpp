// Documents using every class survive write/read at each version, with the
// fields that version stores.
#include <gtest/gtest.h>

#include <fstream>

#include "document/controls.h"
#include "document/document_dump.h"
#include "document/hosted_modules.h"
#include "document/iterators.h"
#include "document/panel_objects.h"
#include "registry/module_info.h"
#include "registry/module_registry.h"
#include "test_modules.h"

using namespace kr;

namespace {

using krtest::Read;
using krtest::Write;

template <class T>
T* FindChild(const CContainer& c, const char* className, int nth = 0) {
  for (const auto& child : c.Children())
    if (std::string_view(child->Class().name) == className && nth-- == 0) return static_cast<T*>(child.get());
  return nullptr;
}

CUG* FindModuleTitled(const CContainer& c, std::string_view title) {
  CUG* found = nullptr;
  ForEachModule(c, [&](CUG& m) {
    if (!found && m.Title() == title) found = &m;
  });
  return found;
}

class RoundTrip : public ::testing::TestWithParam<int> {};

TEST_P(RoundTrip, RewritingAReadDocumentGivesTheSameBytes) {
  const int v = GetParam();
  auto doc = krtest::MakeRichDocument();
  const auto bytes = Write(*doc, v);
  auto loaded = Read(bytes);
  ASSERT_TRUE(loaded.document) << loaded.error;
  EXPECT_EQ(loaded.version, v);
  EXPECT_EQ(Write(*loaded.document, v), bytes);
}

TEST_P(RoundTrip, FieldsStoredAtThisVersionComeBack) {
  const int v = GetParam();
  auto doc = krtest::MakeRichDocument();
  auto loaded = Read(Write(*doc, v));
  ASSERT_TRUE(loaded.document) << loaded.error;
  const StoredDocument& d = *loaded.document;
  const CContainer& root = *d.root;

  // Header settings appear with their versions; older ones keep defaults.
  EXPECT_EQ(d.settings.documentText, "doc");
  EXPECT_EQ(d.settings.booleanSetting, v >= 9);
  EXPECT_EQ(d.settings.privateCopy, v >= 45);
  EXPECT_EQ(d.settings.uniqueId, v >= 56 ? "Kstr" : "");
  EXPECT_EQ(d.settings.aboutText, v >= 58 ? "about" : "");
  EXPECT_EQ(d.settings.monoCapable, v < 64);
  EXPECT_EQ(d.settings.panelWidth, v >= 57 ? 640 : 0);
  EXPECT_EQ(d.settings.programCount, v >= 69 ? 32 : 16);
  EXPECT_EQ(d.settings.vendor, v >= 71 ? "Vendor" : "");
  EXPECT_EQ(d.settings.vendorExtra, v >= 86 ? "extra" : "");
  EXPECT_EQ(d.settings.product, v >= 69 ? "Product" : "");
  EXPECT_EQ(d.embeddedFiles.size(), v >= 83 ? 2u : 0u);
  ASSERT_EQ(d.skins.size(), v >= 56 ? 1u : 0u);
  if (v >= 56) {
    ASSERT_EQ(d.skins[0]->images.size(), 1u);
    EXPECT_EQ(d.skins[0]->images[0]->png.size(), v >= 94961 ? 4u : 0u);
    EXPECT_EQ(d.skins[0]->images[0]->paddingTop, v >= 95061 ? 3 : 0);
    EXPECT_EQ(d.skins[0]->styles[0]->background, v > 95129 ? 0x10 : -1);
  }

  // Modules keep their identity (by number up to 78, by name after; by
  // title for 8 to 36) and their plugs.
  CUG* src = FindModuleTitled(root, "T Source");
  ASSERT_NE(src, nullptr);
  ASSERT_NE(src->Entry(), nullptr);
  EXPECT_EQ(src->Entry()->name, "T Source");
  EXPECT_EQ(src->Plugs().size(), 9u);
  CUG* sink2 = FindModuleTitled(root, "Second sink");
  ASSERT_NE(sink2, nullptr);
  EXPECT_TRUE(sink2->Disabled());
  EXPECT_EQ(sink2->Entry() != nullptr, v <= 7 || v >= 37);
  EXPECT_EQ(sink2->StructureRect(), v >= 37 ? (DocRect{1, 2, 3, 4}) : (DocRect{0, 0, 20, 20}));

  // A plug shared by two wires is one object.
  CPlug2* out = src->FindPlug("Out");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(out->Wires().size(), 2u);
  EXPECT_EQ(out->Wires()[0]->From(), out);
  EXPECT_EQ(out->Wires()[1]->From(), out);

  // Containers.
  auto* inner = FindChild<CContainer>(root, "CContainer");
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->Parent(), &root);
  EXPECT_EQ(inner->panelRect, v > 94950 ? (DocRect{5, 6, 7, 8}) : DocRect{});
  EXPECT_EQ(inner->scrollPositions[1], v >= 28 ? (DocPoint{3, 4}) : DocPoint{});
  EXPECT_EQ(inner->flags, v >= 9 ? 0x180 : 0);
  EXPECT_EQ(inner->skinName, v >= 48 ? "chrome" : "default");
  EXPECT_EQ(inner->SpareOption(), v > 94950);
  EXPECT_TRUE(inner->ControlsOnParent());
  EXPECT_FALSE(inner->IgnoreProgramChange());
  ASSERT_NE(inner->FindIOModule(), nullptr);
  // The container's own list first: the spare boundary plug and the three
  // parameter plugs, with the values they were given.
  ASSERT_EQ(inner->Plugs().size(), 8u);
  auto* spare = DynamicKind<CPlugIO2>(inner->Plugs()[0].get());
  ASSERT_NE(spare, nullptr);
  EXPECT_EQ(spare->Direction(), DR_CONTAINER_IO);
  EXPECT_EQ(spare->Name(), "Spare");
  EXPECT_EQ(spare->Option(), v > 94950);
  EXPECT_EQ(inner->Plugs()[1]->Name(), "Polyphony");
  EXPECT_EQ(inner->Plugs()[1]->ValueText(), "4");
  EXPECT_EQ(inner->Plugs()[3]->ValueText(), "2");
  // Boundary plugs: stored types from 94962, resolved from the wiring before.
  auto* midi = DynamicKind<CPlugIO2>(inner->Plugs()[4].get());
  auto* audio = DynamicKind<CPlugIO2>(inner->Plugs()[5].get());
  ASSERT_TRUE(midi && audio);
  EXPECT_EQ(midi->DataType(), DT_MIDI);
  EXPECT_EQ(midi->Partner()->DataType(), DT_MIDI);
  EXPECT_EQ(audio->DataType(), DT_AUDIO);
  auto* feature = DynamicKind<CPlugFeature>(inner->Plugs()[6].get());
  ASSERT_NE(feature, nullptr);
  EXPECT_EQ(feature->storedFlags, v >= 95162 ? std::uint32_t{PF_SHOW_WHEN_OPEN} : 0u);
  EXPECT_EQ(feature->secondText, "second");
  EXPECT_TRUE(DynamicKind<CPlugFeature3>(inner->Plugs()[7].get())->extraOption);

  // Panel objects and controls.
  auto* portal = FindChild<CPortal>(root, "CPortal");
  ASSERT_NE(portal, nullptr);
  EXPECT_EQ(portal->mode, v >= 68 ? 1 : 3);
  auto* cob = FindChild<control_ob_base>(root, "control_ob_bitmap");
  ASSERT_NE(cob, nullptr);
  EXPECT_EQ(cob->target, src);
  EXPECT_EQ(FindChild<control_group_ob>(root, "control_group_ob")->members.at(0), cob);
  EXPECT_EQ(FindChild<CTabBox>(root, "CTabBox")->tabs.size(), 2u);
  auto* slider = FindChild<CControl>(root, "Ctl_Slider");
  EXPECT_EQ(slider->numbers, v >= 19 ? std::vector<double>{0.25} : std::vector<double>{});
  EXPECT_EQ(slider->singleValue, v >= 19);
  EXPECT_EQ(slider->key, v >= 84 ? 77 : 0);
  EXPECT_EQ(slider->text, v >= 61 ? "slider" : "");
  EXPECT_EQ(FindChild<CControl>(root, "Ctl_Combo")->integers.size(), v >= 19 ? 3u : 0u);
  EXPECT_EQ(FindChild<CControl>(root, "Ctl_Text")->texts.size(), v >= 19 ? 2u : 0u);
  auto* patchSel = FindChild<Ctl_PatchSel>(root, "Ctl_PatchSel");
  ASSERT_NE(patchSel, nullptr);
  EXPECT_EQ(patchSel->Entry()->name, "Patch Select");
  EXPECT_EQ(FindChild<CStepSeq2>(root, "CStepSeq2")->patterns[0].size(), 1u);
  EXPECT_EQ(FindChild<CDrumSeq>(root, "CDrumSeq")->patterns[31], (std::vector<std::int32_t>{5, 6}));
  EXPECT_EQ(FindChild<CStepSeq>(root, "CStepSeq")->patterns.size(), 2u);
  auto* vst = FindChild<Ctl_VST_Plugin>(root, "Ctl_VST_Plugin", 1);
  ASSERT_NE(vst, nullptr);
  EXPECT_EQ(vst->pluginPath, v >= 55 ? "C:\\plugins\\Synth.dll" : "Synth.dll");
  EXPECT_EQ(vst->state.uniqueId, v >= 55 ? 0x41424344 : 0);
  ASSERT_EQ(vst->state.programs.size(), 2u);
  EXPECT_EQ(vst->state.programs[1].parameters, (std::vector<float>{0.0f, 0.25f}));
  EXPECT_EQ(vst->state.automationBindings.size(), v >= 42 ? 1u : 0u);
  EXPECT_EQ(FindChild<Ctl_VST_Plugin>(root, "Ctl_VST_Plugin", 0)->state.bankChunk.size(), v >= 39 ? 3u : 0u);
  EXPECT_EQ(FindChild<CUG2>(root, "Ctl_WaveShape2")->panelRect, v >= 95271 ? (DocRect{6, 6, 9, 9}) : DocRect{});

  // Patch memory: names from 50, parameters from 95311.
  ASSERT_NE(root.PatchMemory(), nullptr);
  EXPECT_EQ(root.PatchMemory()->patchNames.size(), v >= 50 ? 2u : 0u);
  EXPECT_EQ(root.PatchMemory()->CurrentPatch(), v >= 50 ? 1 : 0);
  // Older documents store none: the entry of the patch-value plug "Knob" is
  // made when the plug is initialised.
  ASSERT_EQ(root.PatchMemory()->parameters.size(), v >= 95311 ? 5u : 1u);
  if (v < 95311) {
    EXPECT_EQ(root.PatchMemory()->parameters[0].plug, src->FindPlug("Knob"));
  }
  if (v >= 95311) {
    EXPECT_EQ(root.PatchMemory()->parameters[0].plug, src->FindPlug("Knob"));
    EXPECT_EQ(root.PatchMemory()->parameters[1].texts[127], "text");
    EXPECT_EQ(root.PatchMemory()->parameters[3].floats[0], 3.0f);
  }

  // Wires follow every other child.
  bool seenWire = false;
  for (const auto& child : root.Children()) {
    const bool isWire = DynamicKind<CLine2>(child.get()) != nullptr;
    EXPECT_FALSE(seenWire && !isWire);
    seenWire = seenWire || isWire;
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTrip,
                         ::testing::Values(7, 8, 9, 36, 44, 49, 58, 69, 94950, 95270, 95321, 95710));

TEST(RoundTrip, CurrentVersionKeepsEveryField) {
  auto doc = krtest::MakeRichDocument();
  const auto bytes = Write(*doc, kCurrentDocumentVersion);
  auto loaded = Read(bytes);
  ASSERT_TRUE(loaded.document) << loaded.error;
  EXPECT_EQ(loaded.document->settings, doc->settings);
  EXPECT_EQ(DumpDocument(*loaded.document), DumpDocument(*doc));
  EXPECT_NE(DumpDocument(*doc).find("CLine2 T Source.Out -> Second sink.In"), std::string::npos);
  EXPECT_EQ(Write(*loaded.document, kCurrentDocumentVersion), bytes);
}

TEST(RoundTrip, RestrictedLoadSkipsAuthoringFields) {
  auto doc = krtest::MakeRichDocument();
  auto loaded = Read(Write(*doc, kCurrentDocumentVersion), LoadMode::Restricted);
  ASSERT_TRUE(loaded.document);
  const DocumentHeaderSettings& s = loaded.document->settings;
  EXPECT_EQ(s.documentText, "");
  EXPECT_FALSE(s.booleanSetting);
  EXPECT_FALSE(s.privateCopy);
  EXPECT_EQ(s.fullLoadText, "");
  EXPECT_EQ(s.vendorExtra, "");
  EXPECT_EQ(s.product, "");
  EXPECT_EQ(s.uniqueId, "Kstr");
  EXPECT_EQ(s.aboutText, "about");
  EXPECT_EQ(s.vendor, "Vendor");
  EXPECT_EQ(s.programCount, 32);
}

TEST(RoundTrip, VersionIsResetAfterEveryLoad) {
  auto doc = krtest::MakeRichDocument();
  Read(Write(*doc, 44));
  EXPECT_EQ(DocumentVersion(), kCurrentDocumentVersion);
  auto bytes = Write(*doc, 44);
  bytes.resize(bytes.size() / 2);
  Read(bytes);
  EXPECT_EQ(DocumentVersion(), kCurrentDocumentVersion);
}

}  // namespace

// Refreshes the fuzz corpus seeds: run with --gtest_also_run_disabled_tests.
TEST(FuzzCorpus, DISABLED_WriteSeeds) {
  auto doc = krtest::MakeRichDocument();
  for (int v : {7, 9, 36, 44, 58, 69, 94950, 95270, 95321, 95710}) {
    const auto bytes = Write(*doc, v);
    std::ofstream(std::string(KR_SOURCE_DIR) + "/tests/fuzz/corpus/document/rich-" + std::to_string(v) + ".kr1",
                  std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
}

namespace {

// Documents up to version 49 store a "Patch Select" as an inner control: its
// stored plugs stay the module's own, so the wires that end at them do too.
TEST(RoundTrip, OldPatchSelectKeepsItsStoredPlugsAndWires) {
  krtest::RegisterTestModules();
  DocumentBuilder b;
  CContainer& root = b.Root();
  CUG& source = b.AddModule(root, "T Source");
  auto& select = static_cast<Ctl_PatchSel&>(
      b.AddObject(root, std::make_unique<Ctl_PatchSel>(ModuleRegistry::Get().FindByName("T Sink"))));
  b.Connect(b.Plug(source, "Out"), b.Plug(select, "In"));
  auto loaded = krtest::Read(krtest::Write(*b.Finish(), 49));
  ASSERT_TRUE(loaded.document) << loaded.error;
  const Ctl_PatchSel* read = FindChild<Ctl_PatchSel>(*loaded.document->root, "Ctl_PatchSel");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Entry()->name, "Patch Select");
  ASSERT_FALSE(read->Plugs().empty());
  const CPlug2& in = *read->Plugs()[0];
  EXPECT_EQ(in.Owner(), read);
  ASSERT_EQ(in.Wires().size(), 1u) << "the wire still ends at the module";
}

}  // namespace
