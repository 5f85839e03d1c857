// Audio runs a graph on one thread while the GUI thread changes programs,
// sets plug parameters from normalised values, posts messages and pumps.
// Everything that reaches the audio side goes through the GUI-to-DSP ring,
// and the "Patch Select" program comes back through a refresh. Run under
// ThreadSanitizer by scripts/tsan.sh.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "document/controls.h"
#include "registry/patch_select_program.h"
#include "engine/audio_master.h"
#include "engine/gui_pump.h"
#include "graph/sound_engine.h"
#include "support/params_support.h"
#include "platform/platform.h"
#include "registry/module_registry.h"
#include "support/engine_blocks.h"

using namespace kr;

using namespace krtest;

namespace {

constexpr const char* kPatchSelect = "Test Program Select";
constexpr const char* kChoice = "Test Choice";

// Audio half of a program selector: takes new programs by notification and
// asks its document object to refresh.
class ProgramSelectAudio final : public ug_base, public PatchSelectProgram {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ProgramSelectAudio>(); }
  void OnUiNotify(int kind, int value) override {
    if (kind != kNotifyProgram) return;
    ++programsTaken;  // audio thread only
    lastTaken = value;
    if (audioMaster != nullptr) audioMaster->PostRefresh(*this);
  }
  void PostProgramNotify(int program) override { PostNotify(kNotifyProgram, program); }
  int programsTaken = 0;
  int lastTaken = -1;
};

class ChoiceAudio final : public ug_base {
 public:
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ChoiceAudio>(); }
  void ListInterface(InterfaceList& list) override {
    list.emplace_back(nullptr, nullptr, "Choice", DR_IN, DT_ENUM, "0", "a,b,c,d");
  }
  void OnUiNotify(int kind, int) override { ++notes; }
  int notes = 0;
};

const bool kRegistered = [] {
  RegisterModule(std::make_unique<Module_Info>(
      kPatchSelect, "", 0, 0, [](Module_Info* e) -> std::unique_ptr<CUG> { return std::make_unique<Ctl_PatchSel>(e); },
      AudioFactoryFor<ProgramSelectAudio>, MF_STRUCTURE_VIEW));
  RegisterModule(std::make_unique<Module_Info>(kChoice, "", 0, 0, nullptr, AudioFactoryFor<ChoiceAudio>,
                                               MF_STRUCTURE_VIEW));
  return true;
}();

template <class T>
T& AddModule(CContainer& where, const char* name) {
  return static_cast<T&>(where.AddChild(MakeDocumentObjectByName(name)));
}

TEST(ProgramThreads, GuiSetsProgramsAndPlugsWhileAudioRuns) {
  ASSERT_TRUE(kRegistered);
  auto root = MakeContainer("Root");
  CContainer& top = AddContainer(*root, "Synth");
  top.EnsurePatchMemory();
  CContainer& nested = AddContainer(top, "Voice");
  auto& selector = AddModule<Ctl_PatchSel>(top, kPatchSelect);
  CUG& choice = AddModule<CUG>(nested, kChoice);
  root->AttachToParent(nullptr);

  GuiPump gui;
  SoundEngine engine(gui);
  // A refresh of the selector makes its shown program the container's, as
  // program changes that arrive as MIDI do.
  int refreshes = 0;
  engine.SetRefreshHandler([&](CUG& module) {
    if (&module != &selector) return;
    ++refreshes;
    auto* shown = dynamic_cast<PatchSelectProgram*>(selector.AudioObject());
    const int program = shown != nullptr ? shown->shownProgram.load(std::memory_order_acquire) : -1;
    if (program >= 0 && program < 128) top.SetProgram(program);
  });
  ASSERT_TRUE(engine.StartSound(*root, 64));
  auto* selectorAudio = dynamic_cast<ProgramSelectAudio*>(selector.AudioObject());
  ASSERT_NE(selectorAudio, nullptr);
  ASSERT_NE(choice.AudioObject(), nullptr);
  engine.Master()->deferToAudio.store(true);

  std::atomic<bool> guiDone{false};
  std::atomic<int> blockCount{0};
  krtest::EngineBlocks blocks;
  std::thread audio([&] {
    // Runs until the GUI has finished, then long enough to drain the ring.
    int after = 0;
    while (after < 50) {
      blocks.Run(engine, {}, {}, 64);
      blockCount.fetch_add(1, std::memory_order_release);
      if (guiDone.load(std::memory_order_acquire)) ++after;
    }
  });
  generic_parameter* program = top.FindParameter("Program");
  CPlug2* choicePlug = choice.FindPlug("Choice");
  ASSERT_NE(choicePlug, nullptr);
  constexpr int kSteps = 300;
  for (int step = 0; step < kSteps; ++step) {
    program->SetValueText(std::to_string(step % 128));
    choicePlug->SetNormalisedValue(static_cast<float>(step % 4) / 4.0f);
    choice.AudioObject()->PostNotify(7, step);
    gui.Pump();
    // Let the audio thread take its share.
    const int seen = blockCount.load(std::memory_order_acquire);
    for (int wait = 0; wait < 100 && blockCount.load(std::memory_order_acquire) == seen; ++wait) platform::SleepMs(0);
  }
  guiDone.store(true, std::memory_order_release);
  audio.join();
  gui.Pump();

  EXPECT_GT(selectorAudio->programsTaken, 0);
  EXPECT_GT(static_cast<ChoiceAudio*>(choice.AudioObject())->notes, 0);
  EXPECT_GT(refreshes, 0);
  EXPECT_EQ(nested.CurrentProgram(), top.CurrentProgram());
  EXPECT_EQ(choicePlug->ValueText(), std::to_string((kSteps - 1) % 4));
  engine.StopSound();
  EXPECT_EQ(selector.AudioObject(), nullptr);
}

}  // namespace
