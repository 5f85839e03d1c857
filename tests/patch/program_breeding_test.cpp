// Patch breeding: the same seed breeds the same child, every value within
// its range and from its parents unless mutated, parents untouched, programs
// out of range refused. (The module's route, to the child playing, is in the
// modules suite, through the plug-in's entry.)
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "document/container.h"
#include "patch/patch_memory.h"
#include "patch/program_breeding.h"
#include "support/synth_patch.h"

namespace krtest {
using namespace kr;

namespace {

struct BreedingRig {
  std::unique_ptr<StoredDocument> document;
  std::vector<std::unique_ptr<PatchMemory>> memories;
  CUG* genprog = nullptr;

  BreedingRig() {
    SynthPatch patch("KsB1");
    patch.Add("Patch Select", "Programs");
    for (const char* name : {"Cutoff", "Drive", "Depth"}) {
      CUG& level = patch.Add("PatchMemFloatIn", name);
      patch.Set(level, "Min Value", "-2");
      patch.Set(level, "Max Value", "8");
    }
    CUG& shape = patch.Add("PatchMemListIn2", "Shape");
    patch.Wire(shape, "List Out", patch.Add("Oscillator", "Osc"), "Waveform");
    genprog = &patch.Add("GenProg", "Breeder");
    document = patch.Builder().Finish();
    memories = MakePatchMemories(*document->root);
  }
  // The memory the "Synth" container plays (the root has one of its own).
  PatchMemory& Memory() { return *PatchMemory::Of(genprog->NearestPatchMemory()); }
  // Parent programs 0 and 1 with values set apart.
  void SetParents() {
    for (const auto& p : Memory().Parameters()) {
      const bool list = p->TypeNumber() == PV_ENUM;
      p->Stored().SetSlotText(0, list ? "1" : "0");
      p->Stored().SetSlotText(1, list ? "3" : "6");
    }
  }
  std::vector<std::string> Program(int program) {
    std::vector<std::string> values;
    for (const auto& p : Memory().Parameters()) values.push_back(p->Stored().SlotText(program));
    return values;
  }
};

TEST(ProgramBreeding, TheSameSeedBreedsTheSameProgramWithinItsRanges) {
  BreedingRig rig;
  ASSERT_NE(PatchMemory::Of(rig.genprog->NearestPatchMemory()), nullptr);
  ASSERT_EQ(rig.Memory().Parameters().size(), 4u);
  rig.SetParents();
  const auto parentA = rig.Program(0);
  const auto parentB = rig.Program(1);

  ASSERT_TRUE(BreedProgram(rig.Memory(), {0, 1, 2, 0.5f, 1234, false}));
  ASSERT_TRUE(BreedProgram(rig.Memory(), {0, 1, 3, 0.5f, 1234, false}));
  ASSERT_TRUE(BreedProgram(rig.Memory(), {0, 1, 4, 0.5f, 99, false}));
  EXPECT_EQ(rig.Program(2), rig.Program(3)) << "the same seed, the same child";
  EXPECT_NE(rig.Program(2), rig.Program(4)) << "another seed, another child";
  EXPECT_NE(rig.Program(2), parentA);
  EXPECT_NE(rig.Program(2), parentB);
  EXPECT_EQ(rig.Program(0), parentA) << "parents untouched";
  EXPECT_EQ(rig.Program(1), parentB);

  // Many children: numbers within -2 .. 8, list values items of the list.
  const std::vector<std::string> items = {"0", "1", "2", "3", "4", "5", "6"};
  for (std::uint32_t seed = 0; seed < 200; ++seed) {
    ASSERT_TRUE(BreedProgram(rig.Memory(), {0, 1, 5, 1.0f, seed, false}));
    for (const auto& p : rig.Memory().Parameters()) {
      const std::string v = p->Stored().SlotText(5);
      if (p->TypeNumber() == PV_FLOAT) {
        const double x = std::stod(v);
        EXPECT_TRUE(x >= -2.0 && x <= 8.0) << v;
      } else {
        EXPECT_NE(std::find(items.begin(), items.end(), v), items.end()) << v;
      }
    }
  }
  // Without mutation numbers fall between the parents and lists take a parent's item.
  for (std::uint32_t seed = 0; seed < 50; ++seed) {
    ASSERT_TRUE(BreedProgram(rig.Memory(), {0, 1, 6, 0.0f, seed, false}));
    for (const auto& p : rig.Memory().Parameters()) {
      const std::string v = p->Stored().SlotText(6);
      if (p->TypeNumber() == PV_FLOAT) {
        EXPECT_TRUE(std::stod(v) >= 0.0 && std::stod(v) <= 6.0) << v;
      } else {
        EXPECT_TRUE(v == "1" || v == "3") << v;
      }
    }
  }
}

TEST(ProgramBreeding, ProgramsOutOfRangeAreRefusedAndNothingIsWritten) {
  BreedingRig rig;
  rig.SetParents();
  const auto before = rig.Program(127);
  for (BreedRequest bad : {BreedRequest{-1, 1, 127}, BreedRequest{0, 128, 127}, BreedRequest{0, 1, 128}}) {
    EXPECT_FALSE(BreedProgram(rig.Memory(), bad));
  }
  EXPECT_EQ(rig.Program(127), before);
  // A mutation that is not a number mutates nothing.
  ASSERT_TRUE(BreedProgram(rig.Memory(), {0, 1, 7, std::numeric_limits<float>::quiet_NaN(), 5, false}));
  for (const auto& p : rig.Memory().Parameters()) {
    if (p->TypeNumber() == PV_ENUM) {
      EXPECT_TRUE(p->Stored().SlotText(7) == "1" || p->Stored().SlotText(7) == "3");
    }
  }
}

}  // namespace
}  // namespace krtest
