#include "formats/image/stored_document.h"

#include <gtest/gtest.h>

#include "formats/image/plugin_export.h"
#include "formats/image/scramble.h"
#include "support/temp_dir.h"
#include "support/message_capture.h"
#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
using kr::packaging::ExportForm;

TEST(StoredDocument, DataFileIsThePluginPathWithDat) {
  EXPECT_EQ(kr::DataFilePathFor("C:\\x\\Synth.dll"), "C:\\x\\Synth.dat");
  EXPECT_EQ(kr::DataFilePathFor("/opt/v1.2/Synth.so"), "/opt/v1.2/Synth.dat");
  EXPECT_EQ(kr::DataFilePathFor("/opt/v1.2/Synth"), "/opt/v1.2/Synth.dat");
}

class StoredDocumentFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    // A small stand-in for the plug-in; the export tests use the real one.
    plugin_ = (dir_.path() / "MySynth.so").string();
    krtest::WriteFileBytes(plugin_, krtest::MinimalNativePlugin());
  }
  krtest::TempDir dir_;
  std::string plugin_;
  const Bytes document_ = krtest::RandomBytes(5000, 42);
};

TEST_F(StoredDocumentFiles, PluginWithoutResourceLoadsTheDataFileUnscrambled) {
  krtest::WriteFileBytes(dir_.path() / "MySynth.dat", document_);
  krtest::MessageCapture messages;
  const auto bytes = kr::ReadStoredDocument(plugin_);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, document_);
  EXPECT_TRUE(messages.requests.empty());
}

TEST_F(StoredDocumentFiles, ExportedPluginLoadsItsResourceAndPrefersItToADataFile) {
  const std::string exported = (dir_.path() / "Carrier.so").string();
  ASSERT_TRUE(kr::packaging::ExportPlugin(plugin_, document_, exported, ExportForm::StoredResource).ok());
  krtest::WriteFileBytes(dir_.path() / "Carrier.dat", krtest::BytesOf("not this one"));

  // What the file carries is scrambled; what the load returns is not.
  const auto carried = platform::LoadStoredResourceFromFile(exported, "KR1", 165);
  ASSERT_TRUE(carried.has_value());
  Bytes scrambled = document_;
  kr::Scramble(scrambled);
  EXPECT_EQ(*carried, scrambled);
  EXPECT_NE(*carried, document_);

  const auto bytes = kr::ReadStoredDocument(exported);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, document_);
}

TEST_F(StoredDocumentFiles, NeitherResourceNorDataFileShowsTheWarning) {
  krtest::MessageCapture messages;
  EXPECT_FALSE(kr::ReadStoredDocument(plugin_).has_value());
  ASSERT_EQ(messages.requests.size(), 1u);
  EXPECT_EQ(messages.requests[0].text,
            "MySynth: Can't find plugin data file. (" + (dir_.path() / "MySynth.dat").string() + ")");
  EXPECT_EQ(messages.requests[0].icon, platform::MessageIcon::Warning);
}

TEST_F(StoredDocumentFiles, EmptyDataFileIsReturnedEmpty) {
  krtest::WriteFileBytes(dir_.path() / "MySynth.dat", {});
  const auto bytes = kr::ReadStoredDocument(plugin_);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_TRUE(bytes->empty());
}

}  // namespace
