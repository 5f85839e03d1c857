// The rules of the document tree: joining plugs, wire ends, children order,
// the I/O module, plug kinds, post-load initialisation, observers.
#include <gtest/gtest.h>

#include "document/controls.h"
#include "document/iterators.h"
#include "formats/archive/archive_writer.h"
#include "registry/module_info.h"
#include "test_modules.h"

using namespace kr;

namespace {

struct Recorder : Notifiable {
  std::vector<std::pair<int, void*>> calls;
  void OnNotify(Notifier*, int code, void* data) override { calls.emplace_back(code, data); }
};

class TreeRules : public ::testing::Test {
 protected:
  void SetUp() override {
    krtest::RegisterTestModules();
    src = &b.AddModule(b.Root(), "T Source");
    sink = &b.AddModule(b.Root(), "T Sink");
    sink2 = &b.AddModule(b.Root(), "T Sink");
  }
  std::string Refusal(CPlug2& a, CPlug2& c) {
    std::string message = "unchanged";
    EXPECT_FALSE(a.CanConnect(c, message));
    return message;
  }
  CPlug2& P(CUG* m, const char* name) { return b.Plug(*m, name); }

  DocumentBuilder b;
  CUG* src = nullptr;
  CUG* sink = nullptr;
  CUG* sink2 = nullptr;
};

TEST_F(TreeRules, CanConnectMessages) {
  EXPECT_EQ(Refusal(P(src, "Out"), P(src, "Out")), "");
  CUG* src2 = &b.AddModule(b.Root(), "T Source");
  EXPECT_EQ(Refusal(P(src, "Out"), P(src2, "Out")),
            "Can't connect. An output must go to an input (plugs on the left = Inputs, right = Outputs");
  EXPECT_EQ(Refusal(P(src, "Value Out"), P(sink, "In")),
            "Can't connect different plug types (eg you can't connect a voltage p_to a filename)");
  EXPECT_EQ(Refusal(P(src, "Value Out"), P(src, "Knob")), "Can't connect different plug types");
  EXPECT_EQ(Refusal(P(src, "Mode Out"), P(sink, "Other List")), "These plug's lists are not compatible");
  std::string message;
  EXPECT_TRUE(P(src, "Mode Out").CanConnect(P(sink, "Mode"), message));
  EXPECT_TRUE(P(src, "Mode Out").CanConnect(P(sink, "Any List"), message));

  b.Connect(P(src, "Out"), P(sink, "In"));
  EXPECT_EQ(Refusal(P(src, "Out"), P(sink, "In")), "These two plugs are already connected");
  // Audio and MIDI inputs take any number of wires.
  EXPECT_TRUE(P(sink2, "Value In").CanConnect(P(src, "Value Out"), message));
  b.Connect(P(src, "Out"), P(sink2, "In"));
  b.Connect(P(src2, "Out"), P(sink, "In"));  // a second wire into an audio input
  EXPECT_EQ(P(sink, "In").Wires().size(), 2u);

  b.Connect(P(src, "Value Out"), P(sink, "Value In"));
  EXPECT_EQ(Refusal(P(src, "Value Out"), P(sink, "Value In")), "This type of plug accepts only one input");
  EXPECT_EQ(Refusal(P(sink, "Value In"), P(src, "Value Out")), "This type of plug accepts only one output");
  EXPECT_THROW(b.Connect(P(src, "Value Out"), P(sink, "Value In")), BuildError);
}

TEST_F(TreeRules, WiresPutTheOutputEndFirstAndAttachOnce) {
  CLine2& w = b.Connect(P(sink, "In"), P(src, "Out"));
  EXPECT_EQ(w.From(), &P(src, "Out"));
  EXPECT_EQ(w.To(), &P(sink, "In"));
  EXPECT_EQ(P(src, "Out").Wires().size(), 1u);
  w.AttachToPlugs();
  EXPECT_EQ(P(sink, "In").Wires().size(), 1u);
}

TEST_F(TreeRules, OutputValuePlugTakesTheInputValueWithItsFirstWire) {
  b.Connect(P(src, "Echo"), P(sink, "Value In"));
  EXPECT_EQ(P(src, "Echo").ValueText(), "2.5");
}

TEST_F(TreeRules, ChildrenOrderWiresLastOthersFront) {
  Recorder r;
  b.Root().AddObserver(&r);
  CLine2& w = b.Connect(P(src, "Out"), P(sink, "In"));
  CUG& late = b.AddModule(b.Root(), "T Gui");
  const auto& kids = b.Root().Children();
  EXPECT_EQ(kids.front().get(), &late);
  EXPECT_EQ(kids.back().get(), &w);
  ASSERT_EQ(r.calls.size(), 2u);
  EXPECT_EQ(r.calls[0].first, NC_CHILD_ADDED);
  EXPECT_EQ(w.Parent(), &b.Root());
  b.Root().RemoveObserver(&r);
}

TEST_F(TreeRules, LoadedModulesComeInReverseStreamOrder) {
  auto doc = b.Finish();  // list: sink2, sink, src
  auto loaded = krtest::Read(krtest::Write(*doc, kCurrentDocumentVersion));
  ASSERT_TRUE(loaded.document);
  const auto& kids = loaded.document->root->Children();
  ASSERT_EQ(kids.size(), 3u);
  EXPECT_EQ(kids[0]->Title(), "T Sink");
  EXPECT_EQ(kids[2]->Title(), "T Source");
}

TEST_F(TreeRules, RemovingAModuleTakesItsWiresAlong) {
  b.Connect(P(src, "Out"), P(sink, "In"));
  b.Connect(P(src, "Out"), P(sink2, "In"));
  Recorder r;
  sink->AddObserver(&r);
  b.Root().RemoveChild(sink);
  ASSERT_FALSE(r.calls.empty());
  EXPECT_EQ(r.calls.back().first, NC_REMOVED);
  EXPECT_EQ(P(src, "Out").Wires().size(), 1u);
  int wires = 0;
  for (const auto& c : b.Root().Children()) wires += DynamicKind<CLine2>(c.get()) != nullptr;
  EXPECT_EQ(wires, 1);
}

TEST_F(TreeRules, IOModuleIsFoundOrMadeOnce) {
  CContainer& inner = b.AddContainer(b.Root());
  Recorder r;
  inner.AddObserver(&r);
  CUG* io = inner.FindOrCreateIOModule();
  ASSERT_NE(io, nullptr);
  EXPECT_EQ(io->Entry()->name, "IO Mod");
  EXPECT_EQ(io->StructureRect(), (DocRect{20, 20, 40, 40}));
  EXPECT_EQ(io->Parent(), &inner);
  EXPECT_EQ(inner.FindOrCreateIOModule(), io);
  ASSERT_FALSE(r.calls.empty());
  EXPECT_EQ(r.calls[0].first, NC_CHILD_ADDED);
  inner.RemoveObserver(&r);
}

TEST_F(TreeRules, PlugKindsFollowTheirDefinitions) {
  EXPECT_EQ(&P(src, "Out").Class(), &CPlug2::kClass);
  EXPECT_EQ(&P(src, "Name").Class(), &CPlugNameable::kClass);
  auto* knob = DynamicKind<CPlugFeature>(&P(src, "Knob"));
  ASSERT_NE(knob, nullptr);
  EXPECT_STREQ(knob->Class().name, "CPlugFeature4");
  EXPECT_EQ(knob->featureIndex, -1);
  EXPECT_EQ(knob->ValueText(), "5");
  EXPECT_EQ(knob->Flags(), std::uint32_t{PF_GUI | PF_PATCH_VALUE});
  EXPECT_EQ(P(sink, "Value In").ValueText(), "2.5");

  CUG& gui = b.AddModule(b.Root(), "T Gui");
  EXPECT_STREQ(gui.Class().name, "CUG2");
  ASSERT_EQ(gui.Plugs().size(), 2u);
  EXPECT_EQ(&gui.Plugs()[0]->Class(), &CPlugGui::kClass);
  EXPECT_EQ(gui.Plugs()[0]->Name(), "Gui Value");
  EXPECT_TRUE(gui.Plugs()[0]->IsGuiPlug());
  EXPECT_EQ(gui.Plugs()[1]->Name(), "Plain");

  // A plug beyond its module's list has an empty definition.
  CPlug2 stray(99);
  stray.SetOwner(src);
  EXPECT_EQ(stray.Name(), "");
  EXPECT_EQ(stray.Direction(), DR_IN);
  EXPECT_EQ(stray.DataType(), DT_ENUM);
  EXPECT_EQ(stray.Flags(), 0u);
}

TEST_F(TreeRules, FeatureFlagsWithoutADefinition) {
  auto feature = std::make_unique<CPlugFeature>(kClassCPlugFeature2);
  feature->storedFlags = PF_HIDDEN2;
  feature->dataType_ = DT_TEXT;
  CPlug2& f = src->AddPlug(std::move(feature));
  EXPECT_EQ(f.Flags(), std::uint32_t{PF_HIDDEN2 | PF_GUI});
  f.SetValueText("file.wav");
  EXPECT_EQ(f.Flags(), std::uint32_t{PF_HIDDEN2 | PF_GUI | PF_FILENAME});
}

TEST_F(TreeRules, BoundPlugsConvertTheirText) {
  variable<float, MetaData_float> level;
  CPlug2& p = P(sink, "Value In");
  p.Bind(&level);
  EXPECT_EQ(level.Get(), 2.5f);
  EXPECT_EQ(p.ValueText(), "2.500");
  variable<short, MetaData_enum> mode;
  CPlug2& m = P(sink, "Mode");
  m.SetValueText("1");
  m.Bind(&mode);
  EXPECT_EQ(m.ValueText(), "1");
  p.Bind(nullptr);
  m.Bind(nullptr);
}

TEST_F(TreeRules, PostLoadInitMakesPatchMemoryAndInitialisesPlugsInOrder) {
  static std::vector<CPlug2*> seen;
  seen.clear();
  CPlug2::SetInitialiseHook([](CPlug2& p) { seen.push_back(&p); });
  CContainer& withSelect = b.AddContainer(b.Root());
  b.AddModule(withSelect, "Patch Select");
  CContainer& plain = b.AddContainer(b.Root());
  plain.SetSpareOption(true);
  // The container's own spare (first in its list) follows the option.
  CPlug2& sparePlug = *plain.Plugs()[0];
  ASSERT_NE(DynamicKind<CPlugIO2>(&sparePlug), nullptr);
  EXPECT_EQ(plain.FindPlug("Spare"), &sparePlug);
  EXPECT_TRUE(sparePlug.Option());
  auto renamed = std::make_unique<CPlugNameable>(-1);
  renamed->SetUserName("Spare");
  EXPECT_TRUE(plain.AddPlug(std::move(renamed)).Option());  // copied when the plug is made
  sparePlug.SetOption(false);
  auto doc = b.Finish();
  CPlug2::SetInitialiseHook(nullptr);
  EXPECT_NE(doc->root->PatchMemory(), nullptr);
  EXPECT_NE(withSelect.PatchMemory(), nullptr);
  EXPECT_EQ(plain.PatchMemory(), nullptr);
  EXPECT_EQ(plain.NearestPatchMemory(), doc->root->PatchMemory());
  EXPECT_EQ(src->NearestPatchMemory(), doc->root->PatchMemory());
  EXPECT_EQ(plain.OwningDocument(), doc.get());
  EXPECT_TRUE(sparePlug.Option());
  // Each module's plugs in plug-list order.
  auto at = std::find(seen.begin(), seen.end(), src->Plugs()[0].get());
  ASSERT_NE(at, seen.end());
  for (std::size_t i = 1; i < src->Plugs().size(); ++i) EXPECT_EQ(*(at + static_cast<long>(i)), src->Plugs()[i].get());
}

TEST_F(TreeRules, ObserversHearCodes) {
  Recorder r;
  sink->AddObserver(&r);
  sink->SetSelected(true);
  sink->SetDisabled(true);
  sink->SetRect(kStructureView, {1, 1, 2, 2});
  ASSERT_EQ(r.calls.size(), 3u);
  EXPECT_EQ(r.calls[0].first, NC_SELECTION);
  EXPECT_EQ(r.calls[1].first, NC_DISABLED);
  EXPECT_EQ(r.calls[2].first, NC_RECT);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(r.calls[2].second), kStructureView);
  sink->RemoveObserver(&r);
}

TEST_F(TreeRules, RecursiveWalkVisitsNestedContainers) {
  CContainer& inner = b.AddContainer(b.Root());
  CUG& deep = b.AddModule(inner, "T Sink");
  std::vector<CDocOb*> order;
  it_imbedded_doc_ob_recursive it(b.Root());
  for (it.First(); !it.AtEnd(); it.Next()) order.push_back(it.Current());
  ASSERT_EQ(order.size(), 5u);
  EXPECT_EQ(order[0], &inner);
  EXPECT_EQ(order[1], &deep);
  it_doc_ob flat(b.Root());
  int n = 0;
  for (flat.First(); !flat.AtEnd(); flat.Next()) ++n;
  EXPECT_EQ(n, 4);
}

TEST_F(TreeRules, ContainerFeaturesLiveInFeaturePlugs) {
  CContainer& inner = b.AddContainer(b.Root());
  EXPECT_FALSE(inner.IgnoreProgramChange());
  inner.SetFeatureValue(2, true);
  EXPECT_TRUE(inner.IgnoreProgramChange());
  EXPECT_FALSE(inner.ControlsOnParent());
  // After the container's four listed plugs.
  ASSERT_EQ(inner.Plugs().size(), 5u);
  const CPlug2& plug = *inner.Plugs()[4];
  EXPECT_EQ(plug.Name(), "Ignore Program Change");
  EXPECT_EQ(plug.Flags(), std::uint32_t{PF_HIDDEN2 | PF_GUI});
  auto doc = b.Finish();
  auto loaded = krtest::Read(krtest::Write(*doc, kCurrentDocumentVersion));
  ASSERT_TRUE(loaded.document);
  ForEachModule(*loaded.document->root, [](CUG& m) {
    if (auto* c = DynamicKind<CContainer>(&m)) {
      EXPECT_TRUE(c->IgnoreProgramChange());
    }
  });
}

TEST(ContainerArchive, EmptyContainerFromVersion95321HoldsOneNullTag) {
  CContainer c;
  auto tail = [&](int version) {
    ArchiveWriter w(version);
    c.Store(w);
    ArchiveWriter head(version);
    static_cast<const CUG&>(c).CUG::Store(head);
    return std::vector<std::uint8_t>(w.Bytes().begin() + static_cast<long>(head.Bytes().size()),
                                     w.Bytes().begin() + static_cast<long>(head.Bytes().size()) + 4);
  };
  // Null patch memory, then the single null tag ending the children.
  EXPECT_EQ(tail(95321), (std::vector<std::uint8_t>{0, 0, 0, 0}));
  // Before 95321 a count stands there instead.
  EXPECT_EQ(tail(95320), (std::vector<std::uint8_t>{0, 0, 0, 0}));
  ArchiveWriter w1(95321), w0(95320);
  c.Store(w1);
  c.Store(w0);
  EXPECT_EQ(w0.Bytes().size(), w1.Bytes().size() + 2);
}

}  // namespace

namespace {

TEST_F(TreeRules, OldStyleLinesAreOrderedOutputFirstWhenConverted) {
  CLine2& w = b.Connect(P(src, "Out"), P(sink, "In"));
  w.SetEnds(w.To(), w.From());  // stored input end first, as old lines may be
  auto doc = b.Finish();
  for (int v : {8, 9}) {
    auto loaded = krtest::Read(krtest::Write(*doc, v));
    ASSERT_TRUE(loaded.document) << loaded.error;
    const CLine2* wire = DynamicKind<CLine2>(loaded.document->root->Children().back().get());
    ASSERT_NE(wire, nullptr);
    EXPECT_EQ(wire->From()->Name(), "Out");
    EXPECT_EQ(wire->To()->Name(), "In");
    EXPECT_EQ(wire->Entry()->name, "Line");
    EXPECT_EQ(wire->From()->Wires().size(), 1u);
    EXPECT_EQ(wire->To()->Wires().size(), 1u);
  }
}

TEST_F(TreeRules, OldBoundaryPlugsTakeTheirTypeFromWhatTheyJoin) {
  CContainer& outer = b.AddContainer(b.Root());
  CContainer& inner = b.AddContainer(outer);
  // Value Out -> outer boundary -> inner boundary -> T Sink "Value In": the
  // inner pair learns its type only through the outer pair.
  auto [outerOut, outerIn] = b.AddBoundaryPlug(outer, DR_IN, DT_FLOAT, "a");
  auto [innerOut, innerIn] = b.AddBoundaryPlug(inner, DR_IN, DT_FLOAT, "b");
  CUG& deep = b.AddModule(inner, "T Sink");
  b.Connect(P(src, "Value Out"), *outerOut);
  b.Connect(*outerIn, *innerOut);
  b.Connect(*innerIn, P(&deep, "Value In"));
  auto [loneOut, loneIn] = b.AddBoundaryPlug(inner, DR_OUT, DT_MIDI, "lone");
  (void)loneIn;
  auto doc = b.Finish();
  auto loaded = krtest::Read(krtest::Write(*doc, 94950));
  ASSERT_TRUE(loaded.document) << loaded.error;
  int checked = 0;
  it_imbedded_doc_ob_recursive it(*loaded.document->root);
  for (it.First(); !it.AtEnd(); it.Next()) {
    auto* m = DynamicKind<CUG>(it.Current());
    if (!m) continue;
    for (const auto& p : m->Plugs()) {
      auto* io = DynamicKind<CPlugIO2>(p.get());
      if (!io) continue;
      ++checked;
      // Each container's own spare keeps the audio type of a new spare.
      if (io->Direction() == DR_CONTAINER_IO) {
        EXPECT_EQ(io->DataType(), DT_AUDIO);
        continue;
      }
      EXPECT_EQ(io->DataType(), io->UserName() == "lone" ? DT_AUDIO : DT_FLOAT) << io->UserName();
    }
  }
  EXPECT_EQ(checked, 8);  // three pairs and the two spares
  (void)loneOut;
}

}  // namespace
