#include "formats/image/plugin_export.h"

#include <gtest/gtest.h>

#include "formats/image/carried_document.h"
#include "formats/image/scramble.h"
#include "formats/image/stored_document.h"
#include "platform/platform.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
using namespace kr::packaging;
namespace fs = std::filesystem;

class PluginExport : public ::testing::Test {
 protected:
  krtest::TempDir dir_;
  const Bytes document_ = krtest::RandomBytes(2048, 11);
  std::string Out(const char* name) const { return (dir_.path() / name).string(); }
  // A small stand-in where the real plug-in's size only costs time.
  std::string SmallPlugin() {
    krtest::WriteFileBytes(dir_.path() / "Small.so", krtest::MinimalNativePlugin());
    return Out("Small.so");
  }
};

TEST_F(PluginExport, StoredResourceFormOfTheLinuxPlugin) {
  const ExportResult result = ExportPlugin(KR_PLUGIN_PATH, document_, Out("MySynth.so"), ExportForm::StoredResource);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.written, std::vector<std::string>{Out("MySynth.so")});
  EXPECT_FALSE(fs::exists(Out("MySynth.dat")));
  EXPECT_EQ(kr::ReadStoredDocument(Out("MySynth.so")), document_);
  EXPECT_EQ(ReadCarriedDocument(krtest::ReadFileBytes(Out("MySynth.so"))),
            platform::LoadStoredResourceFromFile(Out("MySynth.so"), "KR1", 165));
  EXPECT_EQ(fs::status(Out("MySynth.so")).permissions(), fs::status(KR_PLUGIN_PATH).permissions());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);  // no temporary left

  // Exporting from an exported plug-in swaps the patch.
  auto library = platform::LoadLibrary(Out("MySynth.so"));
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  platform::FreeLibrary(library);

  // Exporting from an exported ELF plug-in swaps the patch. (The PE writer
  // refuses a file that has resources already: Windows exports start from
  // the built DLL.) Read without the system loader, so on every system.
  const Bytes other = krtest::BytesOf("another patch");
  krtest::WriteFileBytes(dir_.path() / "SmallElf.so", krtest::MinimalElf(false));
  ASSERT_TRUE(ExportPlugin(Out("SmallElf.so"), document_, Out("First.so"), ExportForm::StoredResource).ok());
  ASSERT_TRUE(ExportPlugin(Out("First.so"), other, Out("Second.so"), ExportForm::StoredResource).ok());
  auto carried = ReadCarriedDocument(krtest::ReadFileBytes(Out("Second.so")));
  ASSERT_TRUE(carried.has_value());
  kr::Unscramble(*carried);
  EXPECT_EQ(*carried, other);
}

TEST_F(PluginExport, DataFileFormCopiesThePluginAndWritesThePlainDocumentBeside) {
  const std::string plugin = SmallPlugin();
  const ExportResult result = ExportPlugin(plugin, document_, Out("MySynth.so"), ExportForm::DataFileBeside);
  ASSERT_TRUE(result.ok()) << result.error;
  EXPECT_EQ(result.written, (std::vector<std::string>{Out("MySynth.so"), Out("MySynth.dat")}));
  EXPECT_EQ(krtest::ReadFileBytes(Out("MySynth.so")), krtest::ReadFileBytes(plugin));
  EXPECT_EQ(krtest::ReadFileBytes(Out("MySynth.dat")), document_);
  EXPECT_EQ(kr::ReadStoredDocument(Out("MySynth.so")), document_);

  // A plug-in that carries a document would ignore the data file.
  ASSERT_TRUE(ExportPlugin(plugin, document_, Out("Carrier.so"), ExportForm::StoredResource).ok());
  const ExportResult refused = ExportPlugin(Out("Carrier.so"), document_, Out("Plain.so"), ExportForm::DataFileBeside);
  EXPECT_NE(refused.error.find("already carries a stored document"), std::string::npos) << refused.error;
  EXPECT_FALSE(fs::exists(Out("Plain.so")));
}

TEST_F(PluginExport, WindowsDllCarriesTheScrambledDocument) {
  krtest::WriteFileBytes(Out("Kestrune.dll"), krtest::MinimalPe(false));
  ASSERT_TRUE(ExportPlugin(Out("Kestrune.dll"), document_, Out("MySynth.dll"), ExportForm::StoredResource).ok());
  auto carried = ReadCarriedDocument(krtest::ReadFileBytes(Out("MySynth.dll")));
  ASSERT_TRUE(carried.has_value());
  EXPECT_NE(*carried, document_);
  kr::Unscramble(*carried);
  EXPECT_EQ(*carried, document_);
}

TEST_F(PluginExport, FailuresAreReportedInWords) {
  const auto errorOf = [&](const std::string& in, const std::string& out, ExportForm form) {
    return ExportPlugin(in, document_, out, form).error;
  };
  EXPECT_NE(errorOf(Out("none.so"), Out("x.so"), ExportForm::StoredResource).find("can't read the plug-in file"),
            std::string::npos);
  krtest::WriteFileBytes(Out("text.so"), krtest::BytesOf("just text"));
  EXPECT_NE(errorOf(Out("text.so"), Out("x.so"), ExportForm::StoredResource).find("is not an ELF or PE file"),
            std::string::npos);
  EXPECT_NE(errorOf(SmallPlugin(), Out("no/such/dir/x.so"), ExportForm::StoredResource).find("can't write"),
            std::string::npos);
  EXPECT_NE(errorOf(SmallPlugin(), Out("x.dat"), ExportForm::DataFileBeside).find("other than its data file"),
            std::string::npos);
  krtest::WriteFileBytes(Out("Signed.dll"), krtest::MinimalPe(false, 0));
  EXPECT_NE(errorOf(Out("Signed.dll"), Out("y.dll"), ExportForm::StoredResource).find("no room"), std::string::npos);
  EXPECT_FALSE(fs::exists(Out("y.dll")));
}

}  // namespace
