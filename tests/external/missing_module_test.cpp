// A document naming a module that no registry entry provides: it loads on
// the "Plugin" entry, the user is told, and it is written back unchanged.
#include <gtest/gtest.h>

#include "document/container.h"
#include "document/document_file.h"
#include "document/hosted_modules.h"
#include "document/iterators.h"
#include "external/library_registration.h"
#include "external_support.h"
#include "registry/module_registry.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

using namespace krtest;

// The patch bytes with one module name changed to another of the same length.
std::vector<std::uint8_t> Renamed(std::vector<std::uint8_t> bytes, std::string_view from, std::string_view to) {
  auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
  EXPECT_NE(it, bytes.end());
  if (it != bytes.end()) std::copy(to.begin(), to.end(), it);
  return bytes;
}

CPlugin* FirstLibraryModule(CContainer& root) {
  it_imbedded_doc_ob_recursive it(root);
  for (it.First(); !it.AtEnd(); it.Next())
    if (auto* found = DynamicKind<CPlugin>(it.Current())) return found;
  return nullptr;
}

TEST(MissingModule, StandsOnThePluginEntryIsReportedAndWrittenBackUnchanged) {
  kr::RegisterModuleLibrary(Built("TestGain.krm").string());
  const auto bytes =
      Renamed(CompilePatch(ChainPatch("Test Gain", "Signal In", "Signal Out")), "Test Gain", "Test Gxin");
  krtest::MessageCapture messages;
  auto loaded = ReadDocument(bytes, LoadMode::Full);
  ASSERT_NE(loaded.document, nullptr) << loaded.error;
  EXPECT_EQ(messages.texts, std::vector<std::string>{"Can't load Module. 'Test Gxin'"});
  CPlugin* module = FirstLibraryModule(*loaded.document->root);
  ASSERT_NE(module, nullptr);
  ASSERT_NE(module->Entry(), nullptr);
  EXPECT_EQ(module->Entry()->name, "Plugin");
  EXPECT_EQ(module->UnresolvedEntryName(), "Test Gxin");
  EXPECT_EQ(module->libraryFile, "TestGain.krm");
  EXPECT_EQ(module->Plugs().size(), 3u);  // the stored plugs and their wires stay
  EXPECT_EQ(ModuleRegistry::Get().FindByName("Plugin")->plugs.size(), 20u);
  EXPECT_EQ(WriteDocument(*loaded.document), bytes);
}

TEST(MissingModule, TheLibraryADocumentNamesIsLookedForByItsStoredFileName) {
  // Either folder separator, any case: the file name part is looked for in
  // the library folder beside the plug-in.
  krtest::TempDir dir;
  ModuleRegistry::Get().FileTypes().SetPluginPath((dir.path() / "Host.so").string(), platform::PathSeparator());
  const fs::path copy = CopyBuilt("TestHostCaller.krm", dir.path() / "Host", "Caller.krm");
  krtest::MessageCapture messages;  // a FOUND TWICE when another test registered the built file first
  EXPECT_TRUE(kr::FindModuleLibrary("C:\\Somewhere/else\\Caller.krm"));
  const auto paths = ModuleRegistry::Get().ModuleLibraryPaths();
  EXPECT_NE(std::find(paths.begin(), paths.end(), copy.string()), paths.end());
  EXPECT_NE(ModuleRegistry::Get().FindByName("Test Host Caller"), nullptr);
  EXPECT_FALSE(kr::FindModuleLibrary("Missing.krm"));
  EXPECT_FALSE(kr::FindModuleLibrary("Caller.txt"));
  ModuleRegistry::Get().FileTypes().SetPluginPath(platform::ModulePath(), platform::PathSeparator());
}

}  // namespace
