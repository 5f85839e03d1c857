// Registering module libraries in this process: the entries each library
// gives, what is read from where, and the messages of broken libraries.
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "document/hosted_modules.h"
#include "external/library_registration.h"
#include "external/module_info_plugin.h"
#include "external/ug_plugin.h"
#include "external_support.h"
#include "registry/module_registry.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace krtest;

kr::Module_Info_Plugin* LibraryEntry(const std::string& name) {
  return dynamic_cast<kr::Module_Info_Plugin*>(ModuleRegistry::Get().FindByName(name));
}

std::string PlugLine(const InterfaceObject& p) {
  return std::to_string(p.direction) + " " + std::to_string(p.dataType) + " " + p.name + " '" + p.defaultText + "' " +
         std::to_string(p.flags);
}

TEST(ModuleLibraries, EachModuleALibraryOffersBecomesAnEntryWithItsPlugs) {
  krtest::MessageCapture messages;
  const std::string path = Built("TestGain.krm").string();
  kr::RegisterModuleLibrary(path);
  kr::Module_Info_Plugin* gain = LibraryEntry("Test Gain");
  kr::Module_Info_Plugin* offset = LibraryEntry("Test Offset");
  ASSERT_NE(gain, nullptr);
  ASSERT_NE(offset, nullptr);
  EXPECT_EQ(gain->moduleIndex, 0);
  EXPECT_EQ(offset->moduleIndex, 1);
  EXPECT_EQ(gain->displayName, "Gain (test)");
  EXPECT_EQ(gain->groupText, "Test");
  EXPECT_EQ(gain->version, 1);
  EXPECT_EQ(gain->libraryPath, path);
  EXPECT_TRUE(gain->secondInterface);
  EXPECT_EQ(gain->flags, MF_STRUCTURE_VIEW | MF_LISTED_BY_CLASS);
  std::vector<std::string> plugs;
  for (const auto& p : gain->plugs) plugs.push_back(PlugLine(p));
  // Audio pins get PF_CONTROL unless they are signals; nothing stays bound.
  EXPECT_EQ(plugs, (std::vector<std::string>{"0 5 Signal In '0' 1", "0 6 Gain '0.5' 0", "1 5 Signal Out '' 1"}));
  for (const auto& p : gain->plugs) {
    EXPECT_EQ(p.valueBinding, nullptr);
    EXPECT_EQ(p.bufferBinding, nullptr);
  }
  EXPECT_EQ(offset->plugs[1].name, "Offset");

  // The document side: a CPlugin2 naming its library by file name.
  auto module = gain->documentFactory(gain);
  auto* plugin = dynamic_cast<CPlugin2*>(module.get());
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->libraryFile, "TestGain.krm");
  EXPECT_EQ(plugin->Plugs().size(), 3u);

  // The same path again (another plug-in copy starting): nothing new, nothing shown.
  kr::RegisterModuleLibrary(path);
  EXPECT_EQ(LibraryEntry("Test Gain"), gain);
  EXPECT_TRUE(messages.texts.empty());
  const auto paths = ModuleRegistry::Get().ModuleLibraryPaths();
  EXPECT_EQ(std::count(paths.begin(), paths.end(), path), 1);
}

TEST(ModuleLibraries, TheSameModulesFromAnotherFileAreFoundTwice) {
  krtest::TempDir dir;
  kr::RegisterModuleLibrary(Built("TestGain.krm").string());
  const fs::path copy = CopyBuilt("TestGain.krm", dir.path(), "Other.krm");
  krtest::MessageCapture messages;
  kr::RegisterModuleLibrary(copy.string());
  EXPECT_EQ(messages.texts,
            (std::vector<std::string>{
                "Module FOUND TWICE!, only one loaded\n" + Built("TestGain.krm").string() + "\n" + copy.string(),
                "Module FOUND TWICE!, only one loaded\n" + Built("TestGain.krm").string() + "\n" + copy.string()}));
  EXPECT_EQ(LibraryEntry("Test Gain")->libraryPath, Built("TestGain.krm").string());
}

TEST(ModuleLibraries, FirstInterfaceNamesComeFromTheDispatcherWithinTheirBuffers) {
  krtest::MessageCapture messages;
  kr::RegisterModuleLibrary(Built("TestLogger1.krp").string());
  kr::Module_Info_Plugin* logger = LibraryEntry("Test Logger 1");
  ASSERT_NE(logger, nullptr);
  EXPECT_FALSE(logger->secondInterface);
  // The display name filled all 100 bytes: the last one stays the terminator.
  EXPECT_EQ(logger->displayName.size(), 99u);
  EXPECT_EQ(logger->groupText, "Test Logger 1");
  EXPECT_EQ(logger->version, 3);  // opcode 11
  EXPECT_EQ(logger->plugs.size(), 5u);
  auto module = logger->documentFactory(logger);
  EXPECT_EQ(&module->Class(), &CPlugin::kClass);
  EXPECT_TRUE(messages.texts.empty());
}

TEST(ModuleLibraries, ALibraryExportingBothInterfacesIsUsedThroughMakeModule) {
  const fs::path path = Built("TestLogger2.krm");
  kr::RegisterModuleLibrary(path.string());
  ClearCallLog(path);
  kr::Module_Info_Plugin* logger = LibraryEntry("Test Logger 2");
  ASSERT_NE(logger, nullptr);
  EXPECT_TRUE(logger->secondInterface);
  auto object = logger->MakeAudioObject();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->DisplayName(), "ug_plugin2");
  for (const auto& line : CallLog(path)) EXPECT_NE(line, "main called");
}

TEST(ModuleLibraries, BrokenLibrariesEachSayWhatIsWrong) {
  krtest::TempDir dir;
  const fs::path garbage = dir.path() / "Garbage.krm";
  { std::ofstream(garbage) << "not a library"; }
  const std::string noExports = Built("NoExports.krm").string();
  const std::string endlessModules = Built("EndlessModules.krm").string();
  const std::string endlessPins = Built("EndlessPins.krp").string();
  krtest::MessageCapture messages;
  for (const auto& path : {noExports, endlessModules, endlessPins, garbage.string()}) kr::RegisterModuleLibrary(path);
  ASSERT_EQ(messages.texts.size(), 4u);
  EXPECT_EQ(messages.texts[0], "Can't load KR Plugin. (dosn't export 'main()' function). (" + noExports + ").");
  EXPECT_EQ(messages.texts[1], "Can't load KR Plugin(more than 1024 modules). (" + endlessModules + ").");
  EXPECT_EQ(messages.texts[2], "Can't load KR Plugin(more than 256 pins). (" + endlessPins + ").");
  EXPECT_TRUE(messages.texts[3].starts_with("Can't load KR Plugin(")) << messages.texts[3];
  EXPECT_TRUE(messages.texts[3].ends_with("). (" + garbage.string() + ").")) << messages.texts[3];
  EXPECT_EQ(ModuleRegistry::Get().FindByName("Test Endless"), nullptr);
  EXPECT_EQ(ModuleRegistry::Get().FindByName("Test Endless Pins"), nullptr);

  // A record with a wrong first word is no module, and nothing is said.
  messages.texts.clear();
  kr::RegisterModuleLibrary(Built("WrongMagic.krm").string());
  EXPECT_TRUE(messages.texts.empty());
}

TEST(ModuleLibraries, OtherFilesAreListedOrIgnoredButNotLoaded) {
  krtest::TempDir dir;
  krtest::MessageCapture messages;
  const fs::path dll = dir.path() / "Hosted.dll";
  const fs::path so = dir.path() / "Hosted.so";
  const fs::path text = dir.path() / "Notes.txt";
  for (const auto& p : {dll, so, text}) std::ofstream(p) << "not loaded";
  kr::RegisterModuleLibraries(dir.path().string());
  const auto paths = ModuleRegistry::Get().ModuleLibraryPaths();
  EXPECT_NE(std::find(paths.begin(), paths.end(), dll.string()), paths.end());
  EXPECT_NE(std::find(paths.begin(), paths.end(), so.string()), paths.end());
  EXPECT_EQ(std::find(paths.begin(), paths.end(), text.string()), paths.end());
  EXPECT_TRUE(messages.texts.empty());  // nothing was loaded
}

TEST(ModuleLibraries, LookupsStaySafeWhileAnotherThreadRegisters) {
  // Run under ThreadSanitizer this catches an unguarded registry; here it
  // checks that readers always see complete entries.
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done.load()) {
      if (Module_Info* e = ModuleRegistry::Get().FindByName("Test Host Caller")) {
        EXPECT_EQ(e->name, "Test Host Caller");
      }
      EXPECT_NE(ModuleRegistry::Get().FindByName("Container"), nullptr);
    }
  });
  kr::RegisterModuleLibrary(Built("TestHostCaller.krm").string());
  done = true;
  reader.join();
  EXPECT_NE(LibraryEntry("Test Host Caller"), nullptr);
}

}  // namespace
