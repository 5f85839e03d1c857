// Documents are untrusted: a module stored with fewer plugs than its class
// lists (none, or only its first) never throws out of a sound start or a
// block: it is left out with a message. Every registered module kind with an audio class, each alone in a
// polyphonic container under the top one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/container.h"
#include "document/document_builder.h"
#include "graph/sound_engine.h"
#include "registry/module_registry.h"
#include "support/engine_blocks.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

std::unique_ptr<StoredDocument> ShortModuleDocument(Module_Info& entry, std::size_t plugsKept) {
  DocumentBuilder b;
  CContainer& top = b.AddContainer(b.Root());
  top.SetTitle("Synth");
  auto full = std::make_unique<CUG>(&entry);
  auto module = std::make_unique<CUG>();  // as loading makes it: plugs come from the stream
  module->SetEntry(&entry);
  module->SetTitle(entry.name);
  // The first plugs of the class's list, as a damaged or older document holds them.
  for (std::size_t i = 0; i < plugsKept && i < full->Plugs().size(); ++i)
    module->AddPlug(std::make_unique<CPlug2>(full->Plugs()[i]->DefinitionIndex()));
  b.AddObject(top, std::move(module));
  return b.Finish();
}

TEST(ShortPlugs, NoModuleKindThrowsOutOfStartOrBlocks) {
  krtest::MessageCapture quiet;
  std::vector<std::string> names;
  for (const auto& [name, entry] : ModuleRegistry::Get().Entries())
    if (entry->audioFactory != nullptr) names.push_back(name);
  ASSERT_GT(names.size(), 10u);
  for (const std::string& name : names) {
    Module_Info& entry = *ModuleRegistry::Get().FindByName(name);
    for (std::size_t kept : {std::size_t{0}, std::size_t{1}}) {
      auto document = ShortModuleDocument(entry, kept);
      GuiPump gui;
      SoundEngine engine(gui);
      krtest::EngineBlocks blocks;
      std::vector<float> left(256), right(256);
      float* outs[] = {left.data(), right.data()};
      ASSERT_NO_THROW(engine.StartSound(*document->root, 64)) << name << ", " << kept << " plug(s)";
      for (int i = 0; i < 4; ++i) {
        blocks.Midi(3, 0x7F3C90);
        ASSERT_NO_THROW(blocks.Run(engine, {}, outs, 64)) << name << ", " << kept << " plug(s)";
      }
      engine.StopSound();
    }
  }
  // A module whose fixed plugs are missing is left out, and the user is told.
  EXPECT_NE(std::find(quiet.texts.begin(), quiet.texts.end(),
                      "Synth.ADSR: its stored plugs do not fit the module; it is left out"),
            quiet.texts.end());
}

}  // namespace
