// A container's "Polyphony" plug fixes its voice count when sound starts,
// whether the document was built in code or compiled from patch text.
#include <gtest/gtest.h>

#include "document/cug.h"
#include "document/document_file.h"
#include "document/iterators.h"
#include "engine/ug_container.h"
#include "graph_support.h"

using namespace kr;

using namespace krtest;

namespace {

ug_container& VoicesOf(CContainer& container) {
  auto* voices = dynamic_cast<ug_container*>(container.AudioObject());
  EXPECT_NE(voices, nullptr);
  return *voices;
}

int VoiceHolding(const ug_container& voices, int note) {
  for (const auto& v : voices.voices)
    if (v->note == note && v->Held()) return v->number;
  return -1;
}

// "Midi to CV" in the top container, its gate summed to host output 0.
CUG& AddGateToHost(Patch& p) {
  CUG& cv = p.Add(*p.top, "Midi to CV");
  p.Wire(*p.top, Patch::Inside(p.midiIn), PlugNamed(cv, "MIDI In"));
  p.Wire(*p.top, PlugNamed(cv, "Gate"), Patch::Inside(p.audioOut[0]));
  WireHost(p);
  return cv;
}

}  // namespace

TEST(ContainerPolyphony, FourVoicesAndTheFifthNoteStealsTheOldestNoteOn) {
  Patch p = MakePatch(0, 1, true);
  PlugNamed(*p.top, "Polyphony").SetValueText("4");
  AddGateToHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  ug_container& voices = VoicesOf(*p.top);
  EXPECT_EQ(voices.polyphony, 4);
  ASSERT_EQ(voices.VoiceCount(), 4);

  rig.Block(64);
  const int notes[] = {60, 62, 64, 65, 67};
  for (int i = 0; i < 5; ++i)
    rig.Midi(8 + 8 * static_cast<std::uint32_t>(i),
                              0x7F0090u | (static_cast<std::uint32_t>(notes[i]) << 8));
  rig.Block(64);
  // Voice 0 first, then the idle voices from the highest index down.
  EXPECT_EQ(VoiceHolding(voices, 62), 3);
  EXPECT_EQ(VoiceHolding(voices, 64), 2);
  EXPECT_EQ(VoiceHolding(voices, 65), 1);
  EXPECT_EQ(VoiceHolding(voices, 67), 0) << "the fifth note takes the voice of the oldest note on";
  EXPECT_EQ(VoiceHolding(voices, 60), -1);
  EXPECT_EQ(voices.VoiceCount(), 4) << "no voice beyond the polyphony";
  // Each held gate gives 1.0 at the host; four voices at most.
  EXPECT_EQ(rig.outputs[0][8 + 8 * 3 + 3], 4.0f);
  for (int i = 0; i < 64; ++i) EXPECT_LE(rig.outputs[0][static_cast<std::size_t>(i)], 4.0f) << i;
  EXPECT_EQ(rig.outputs[0][63], 4.0f);
}

TEST(ContainerPolyphony, WithoutAValueTheContainerGetsTheDefaultSix) {
  Patch p = MakePatch(0, 1, true);
  AddGateToHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  EXPECT_EQ(VoicesOf(*p.top).polyphony, 6);
  EXPECT_EQ(VoicesOf(*p.top).VoiceCount(), 6);
}

TEST(ContainerPolyphony, TheRootAppliesItsOwnValue) {
  Patch p = MakePatch(0, 1, true);
  PlugNamed(*p.root, "Polyphony").SetValueText("3");
  p.Add(*p.root, "Midi to CV");
  WireHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  EXPECT_EQ(VoicesOf(*p.root).VoiceCount(), 3);
}

TEST(ContainerPolyphony, ACorruptValueIsKeptInsideTheRange) {
  Patch p = MakePatch(0, 1, true);
  PlugNamed(*p.top, "Polyphony").SetValueText("30000");
  AddGateToHost(p);
  Rig rig;
  ASSERT_TRUE(rig.Start(p, 64, 0, 1));
  EXPECT_EQ(VoicesOf(*p.top).VoiceCount(), ug_container::kMaxPolyphony);
}

TEST(ContainerPolyphony, AStoredValueComesBackAndPlaysWithItsVoiceCount) {
  for (auto [value, expected] : {std::pair<const char*, int>{"4", 4}, {nullptr, 6}}) {
    SCOPED_TRACE(expected);
    Patch built = MakePatch(0, 1, true);
    if (value != nullptr) PlugNamed(*built.top, "Polyphony").SetValueText(value);
    AddGateToHost(built);
    StoredDocument stored;
    stored.root = std::move(built.root);
    // Through the archive, as the plug-in meets a document.
    auto loaded = ReadDocument(WriteDocument(stored), LoadMode::Full);
    ASSERT_NE(loaded.document, nullptr) << loaded.error;
    Patch p;
    p.root = std::move(loaded.document->root);
    ForEachModule(*p.root, [&](CUG& m) { p.top = p.top != nullptr ? p.top : DynamicKind<CContainer>(&m); });
    ASSERT_NE(p.top, nullptr);
    Rig rig;
    ASSERT_TRUE(rig.Start(p, 64, 0, 1));
    EXPECT_EQ(VoicesOf(*p.top).VoiceCount(), expected);

    rig.Block(64);
    for (std::uint32_t i = 0; i < 8; ++i) rig.Midi(i, 0x7F3090u + (i << 8));
    rig.Block(64);
    EXPECT_EQ(rig.outputs[0][40], static_cast<float>(expected)) << "one gate per voice, the rest stolen";
  }
}
