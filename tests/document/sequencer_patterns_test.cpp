// The sequencers' stored patterns: made by module name as their controls,
// written and read back at the versions that store them differently, never
// written beyond what the reader takes, and refused (no document) when a
// stored count is out of range or the block ends early.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "document/container.h"
#include "document/controls.h"
#include "document/document_builder.h"
#include "document/iterators.h"
#include "test_modules.h"

namespace krtest {
using namespace kr;

namespace {

constexpr std::int32_t kMarker = 0x5EC0DE01;  // a drum step no other field holds

template <class T>
T* FirstOf(const CContainer& root) {
  T* found = nullptr;
  ForEachModule(root, [&](CUG& m) {
    if (found == nullptr) found = DynamicKind<T>(&m);
  });
  return found;
}

struct SequencerDocument {
  DocumentBuilder builder;
  CStepSeq2* steps = nullptr;
  CDrumSeq* drums = nullptr;

  SequencerDocument() {
    steps = dynamic_cast<CStepSeq2*>(&builder.AddModule(builder.Root(), "Step Sequencer"));
    drums = dynamic_cast<CDrumSeq*>(&builder.AddModule(builder.Root(), "Drum Sequencer"));
  }
  std::vector<std::uint8_t> Bytes(int version) { return Write(*builder.Finish(), version); }
};

TEST(SequencerPatterns, ModulesAreMadeAsTheirControlsAndTheirPatternsRoundTrip) {
  for (int version : {14, 22, 23, 95710}) {
    SequencerDocument doc;
    ASSERT_NE(doc.steps, nullptr) << "a Step Sequencer is a CStepSeq2";
    ASSERT_NE(doc.drums, nullptr) << "a Drum Sequencer is a CDrumSeq";
    doc.steps->patterns[0] = {SequencerStep{{1, 60, 100, 50}}, SequencerStep{{2, 0, 0, 0}}};
    doc.steps->stepFlags[0] = {0, 1};
    doc.steps->patterns[31] = std::vector<SequencerStep>(32, SequencerStep{{1, 72, 64, 25}});
    doc.steps->numbers.assign(128, 0.0);
    doc.steps->numbers[3] = 5.0;  // program 3 plays pattern 5
    doc.drums->patterns[7] = {kMarker, 0, 0x2464};
    const auto bytes = doc.Bytes(version);
    auto loaded = Read(bytes);
    ASSERT_TRUE(loaded.document) << version << ": " << loaded.error;
    const auto* steps = FirstOf<CStepSeq2>(*loaded.document->root);
    const auto* drums = FirstOf<CDrumSeq>(*loaded.document->root);
    ASSERT_TRUE(steps && drums) << version;
    EXPECT_EQ(steps->patterns[0], (std::vector<SequencerStep>{SequencerStep{{1, 60, 100, 50}}, SequencerStep{{2, 0, 0, 0}}}));
    EXPECT_EQ(steps->patterns[31].size(), 32u);
    const std::vector<std::int32_t> flags = version >= 23 ? std::vector<std::int32_t>{0, 1} : std::vector<std::int32_t>{};
    EXPECT_EQ(steps->stepFlags[0], flags) << version;
    EXPECT_EQ(drums->patterns[7], (std::vector<std::int32_t>{kMarker, 0, 0x2464}));
    if (version >= 19) {
      EXPECT_EQ(steps->numbers.size() > 3 ? steps->numbers[3] : -1.0, 5.0) << version;
    }
    EXPECT_EQ(Write(*loaded.document, version), bytes) << "read and written again, the same bytes";
  }
}

TEST(SequencerPatterns, WhatIsHeldBeyondTheStoredLimitsIsNotWritten) {
  SequencerDocument doc;
  doc.steps->patterns[2] = std::vector<SequencerStep>(40, SequencerStep{{1, 61, 90, 50}});
  doc.steps->patterns.resize(5);  // cut short in memory
  doc.steps->stepFlags.resize(1);
  doc.drums->patterns[0] = std::vector<std::int32_t>(33, 0x64);
  doc.drums->patterns.resize(3);
  auto loaded = Read(doc.Bytes(95710));
  ASSERT_TRUE(loaded.document) << loaded.error << ": the writer wrote what the reader refuses";
  const auto* steps = FirstOf<CStepSeq2>(*loaded.document->root);
  const auto* drums = FirstOf<CDrumSeq>(*loaded.document->root);
  ASSERT_TRUE(steps && drums);
  EXPECT_EQ(steps->patterns.size(), 32u);
  EXPECT_EQ(steps->patterns[2].size(), 32u);
  EXPECT_EQ(drums->patterns.size(), 32u);
  EXPECT_EQ(drums->patterns[0].size(), 32u);
}

TEST(SequencerPatterns, CountsOutOfRangeAndShortBlocksAreRefused) {
  SequencerDocument doc;
  doc.drums->patterns[4] = {kMarker};
  const auto bytes = doc.Bytes(95710);
  // The drum pattern's count is the int32 just before the marker.
  std::size_t at = 0;
  for (std::size_t i = 4; i + 4 <= bytes.size(); ++i) {
    std::int32_t word;
    std::memcpy(&word, &bytes[i], 4);
    if (word == kMarker) at = i - 4;
  }
  ASSERT_GT(at, 0u);
  ASSERT_TRUE(Read(bytes).document) << "unchanged, it reads";
  for (std::int32_t count : {33, -1, 0x7FFFFFFF}) {
    auto bad = bytes;
    std::memcpy(&bad[at], &count, 4);
    const auto loaded = Read(bad);
    EXPECT_FALSE(loaded.document) << "a count of " << count;
    EXPECT_FALSE(loaded.error.empty()) << count;
  }
  for (std::size_t keep : {at + 2, at + 4, at + 6}) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
    EXPECT_FALSE(Read(cut).document) << "cut after " << keep << " bytes";
  }
}

TEST(SequencerPatterns, StoredNumbersAreHeldToWhatThePlayerPlays) {
  SequencerDocument doc;
  doc.steps->patterns[0] = {SequencerStep{{1, 69, 127, 100}}, SequencerStep{{7, 500, -3, 900}},
                            SequencerStep{{2, -40, 300, 0}}};
  doc.steps->stepFlags[0] = {0, 0, 1};
  const SequencePatterns played = doc.steps->PlayedPatterns();
  const SequencePattern& p = played.patterns[0];
  ASSERT_EQ(p.length, 3);
  EXPECT_EQ(p.steps[0], (SequenceStep{SequenceStep::kNote, 0.5f, 1.0f, 1.0f})) << "A 440 at 5 V, full velocity";
  EXPECT_EQ(p.steps[1].gate, SequenceStep::kRest) << "an unknown gate rests";
  EXPECT_FLOAT_EQ(p.steps[1].pitch, (5.0f + (127 - 69) / 12.0f) * 0.1f) << "notes held to 0..127";
  EXPECT_EQ(p.steps[1].velocity, 0.0f);
  EXPECT_EQ(p.steps[1].length, 0.5f) << "a length out of range is half the step";
  EXPECT_EQ(p.steps[2].gate, SequenceStep::kTie);
  EXPECT_EQ(p.steps[2].velocity, 1.0f) << "the accent flag";
  EXPECT_EQ(played.patterns[1].length, 0);

  doc.drums->patterns[0] = {0x3C40, 0, 0x7F, -1};
  const SequencePatterns drums = doc.drums->PlayedPatterns();
  const SequencePattern& d = drums.patterns[0];
  ASSERT_EQ(d.length, 4);
  EXPECT_EQ(d.steps[0].gate, SequenceStep::kNote);
  EXPECT_FLOAT_EQ(d.steps[0].velocity, 64.0f / 127.0f);
  EXPECT_FLOAT_EQ(d.steps[0].pitch, (5.0f + (60 - 69) / 12.0f) * 0.1f);
  EXPECT_EQ(d.steps[1].gate, SequenceStep::kRest);
  EXPECT_FLOAT_EQ(d.steps[2].pitch, (5.0f + (36 - 69) / 12.0f) * 0.1f) << "note 0 is the kick's 36";
  EXPECT_EQ(d.steps[3].velocity, 1.0f) << "velocity bits above 127 are held to 127";
}

}  // namespace
}  // namespace krtest
