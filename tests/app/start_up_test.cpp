// Application start-up over a plug-in file of the test's own: the document
// from the ".dat" beside it, the warning when there is none, the settings
// and top container handed to the effect object, and the host I/O wiring.
#include <gtest/gtest.h>

#include "app/app_vst.h"
#include "app_test_documents.h"
#include "document/container.h"
#include "document/document_builder.h"
#include "formats/image/scramble.h"
#include "platform/platform.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using krtest::PassThroughDocument;
using krtest::WriteFile;

class StartUp : public ::testing::Test {
 protected:
  std::filesystem::path Plugin() const { return dir.path() / "Synth.so"; }
  void MakePluginFile() const { WriteFile(Plugin(), {0x7f, 'E', 'L', 'F'}); }

  krtest::TempDir dir;
  CKestruneAppVST app;
};

TEST_F(StartUp, DataFileBesideThePluginIsReadAsItIs) {
  MakePluginFile();
  WriteFile(dir.path() / "Synth.dat", PassThroughDocument(krtest::PatchSpec().Id("AbCd").Flags(9)));
  app.SetPluginPath(Plugin().string());

  ASSERT_TRUE(app.Initialise());
  EXPECT_EQ(app.ApplicationName(), "Harbrook");
  EXPECT_EQ(app.GuiThreadId(), platform::CurrentThreadId());
  ASSERT_NE(app.Settings(), nullptr);
  EXPECT_EQ(app.Settings()->PluginIdText(), "AbCd");
  EXPECT_EQ(app.Settings()->PluginFlags(), 9u);
  EXPECT_TRUE(app.Settings()->MonoCapable());
  EXPECT_EQ(app.Settings()->ProgramCount(), 16);

  TopContainer* top = app.FindTopContainer();
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Name(), "Synth");
  EXPECT_EQ(top->AudioInputNames(), (std::vector<std::string>{"In 1", "In 2"}));
  EXPECT_EQ(top->AudioOutputNames(), (std::vector<std::string>{"Out 1", "Out 2"}));
  EXPECT_FALSE(top->HasMidiInput());
  EXPECT_FALSE(top->GovernedByPatchSelect());
  EXPECT_EQ(top->ProgramName(0), "Patch   1");  // unnamed: "Patch %3d" of its number plus one
  const auto chunk = top->GetChunk(false);
  ASSERT_GE(chunk.size(), 4u);
  EXPECT_EQ(chunk[0] | chunk[1] << 8 | chunk[2] << 16 | chunk[3] << 24, 852171);
}

TEST_F(StartUp, AScrambledDataFileIsNotUnscrambled) {
  MakePluginFile();
  auto bytes = PassThroughDocument();
  kr::Scramble(bytes);
  WriteFile(dir.path() / "Synth.dat", bytes);
  app.SetPluginPath(Plugin().string());
  krtest::MessageCapture messages;
  EXPECT_FALSE(app.Initialise());
  EXPECT_EQ(app.Settings(), nullptr);
  EXPECT_EQ(app.FindTopContainer(), nullptr);
}

TEST_F(StartUp, NoResourceAndNoDataFileShowsTheWarning) {
  MakePluginFile();
  app.SetPluginPath(Plugin().string());
  krtest::MessageCapture messages;
  EXPECT_FALSE(app.Initialise());
  ASSERT_EQ(messages.requests.size(), 1u);
  EXPECT_EQ(messages.requests[0].text,
            "Synth: Can't find plugin data file. (" + (dir.path() / "Synth.dat").string() + ")");
  EXPECT_EQ(messages.requests[0].icon, platform::MessageIcon::Warning);
}

TEST_F(StartUp, ADocumentWithoutAContainerHasNoTopContainer) {
  MakePluginFile();
  CKestruneDocVST empty;
  empty.NewDocument();
  EXPECT_EQ(empty.Root()->Title(), "Main");
  EXPECT_EQ(empty.TopContainer(), nullptr);
}

TEST_F(StartUp, TheTopContainerIsTheFirstEnabledOne) {
  DocumentBuilder b;
  CContainer& second = b.AddContainer(b.Root());  // children arrive at the front:
  CContainer& first = b.AddContainer(b.Root());   // "first" ends up first
  first.SetTitle("Off");
  first.SetDisabled(true);
  second.SetTitle("On");
  auto doc = b.Finish();
  CKestruneDocVST loaded;
  ASSERT_TRUE(loaded.LoadFromBytes(WriteDocument(*doc)));
  ASSERT_NE(loaded.TopContainer(), nullptr);
  EXPECT_EQ(loaded.TopContainer()->Title(), "On");
  loaded.Root()->SetDisabled(true);  // exclusion passes inward
  EXPECT_EQ(loaded.TopContainer(), nullptr);
}

TEST_F(StartUp, HostIoModulesAreMadeInTheRootAndASecondStartUpReplacesTheDocument) {
  MakePluginFile();
  WriteFile(dir.path() / "Synth.dat", PassThroughDocument(krtest::PatchSpec().Pairs(1)));
  app.SetPluginPath(Plugin().string());
  ASSERT_TRUE(app.Initialise());
  TopContainer* top = app.FindTopContainer();
  ASSERT_NE(top, nullptr);
  app.WireHostIo(*top);
  std::vector<std::string> names;
  for (const auto& child : app.Document()->Root()->Children())
    if (auto* m = DynamicKind<CUG>(child.get())) names.push_back(m->Title());
  EXPECT_NE(std::find(names.begin(), names.end(), "VST Input"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "VST Output"), names.end());

  WriteFile(dir.path() / "Synth.dat", PassThroughDocument(krtest::PatchSpec().Pairs(3)));
  ASSERT_TRUE(app.Initialise());
  EXPECT_EQ(app.FindTopContainer()->AudioInputNames().size(), 3u);
  app.DeleteDocument();
  EXPECT_EQ(app.Settings(), nullptr);
  EXPECT_EQ(app.Document(), nullptr);
}

TEST_F(StartUp, SoundStaysStoppedWithoutADocument) {
  app.StartSound(512);
  EXPECT_FALSE(app.SoundRunning());
  kr::HostBlock block;
  block.frames = 64;
  app.ProcessBlock(block);
  app.StopSound();
  EXPECT_FALSE(app.SoundRunning());
}

}  // namespace
