// Streams that must be refused end the load with no tree and nothing leaked
// (the sanitizers check the leaks); the newer-version refusal shows its text.
#include <gtest/gtest.h>

#include <cstring>

#include "document/controls.h"
#include "platform/platform.h"
#include "support/message_capture.h"
#include "test_modules.h"

using namespace kr;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes ClassRecord(const char* name, std::uint16_t schema) {
  const auto n = static_cast<std::uint8_t>(std::strlen(name));
  // Sized once and filled in place: growing a six-byte vector by the name made
  // GCC 12 -O2 warn falsely (-Warray-bounds) on the MinGW builds.
  Bytes b(6 + std::size_t{n});
  b[0] = 0xFF;
  b[1] = 0xFF;
  b[2] = static_cast<std::uint8_t>(schema);
  b[3] = static_cast<std::uint8_t>(schema >> 8);
  b[4] = n;
  std::memcpy(b.data() + 6, name, n);
  return b;
}

// Version 8: the header is a single text, then the root object.
const Bytes kV8Header{8, 0, 0, 0, 0};
// A CUG part at version 8: no plugs, empty title, not disabled.
const Bytes kV8CugPart{0, 0, 0, 0, 0};
const Bytes kV8ContainerTail = Bytes(32, 0);

std::string ErrorOf(const Bytes& bytes) {
  auto result = ReadDocument(bytes, LoadMode::Full);
  EXPECT_EQ(result.document, nullptr);
  return result.error;
}

TEST(LoadFailure, NewerVersionShowsTheMessageAndReadsNothingElse) {
  krtest::MessageCapture messages;
  const Bytes v95711{0xDF, 0x75, 0x01, 0x00};
  const std::string error = ErrorOf(v95711);
  const std::vector<platform::MessageBoxRequest>& shown = messages.requests;
  const std::string expected =
      "Load Cancelled.  File created by a newer version of Kestrune (V957.11). See Kestrune web site for latest "
      "version.";
  EXPECT_EQ(error, expected);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, expected);
  EXPECT_EQ(shown[0].icon, platform::MessageIcon::Information);
}

TEST(LoadFailure, MinimalVersion8DocumentLoads) {
  const Bytes doc = Concat({kV8Header, ClassRecord("CContainer", 95), kV8CugPart, {0, 0}, kV8ContainerTail});
  auto result = ReadDocument(doc, LoadMode::Full);
  ASSERT_TRUE(result.document) << result.error;
  EXPECT_EQ(result.document->root->Entry()->name, "Container");
  EXPECT_EQ(result.document->root->skinName, "default");
  EXPECT_EQ(result.document->root->windowRects[0], DocRect{});
}

TEST(LoadFailure, ContainerAndPlugRecordsAcceptAnySchema) {
  const Bytes doc = Concat({kV8Header, ClassRecord("CContainer", 3), {0, 0, 0, 0, 0}, {0, 0}, kV8ContainerTail});
  EXPECT_TRUE(ReadDocument(doc, LoadMode::Full).document);
}

TEST(LoadFailure, ArchiveFaultsEndTheLoad) {
  // Unknown class name.
  EXPECT_NE(ErrorOf(Concat({kV8Header, ClassRecord("CNoSuchClass", 1), kV8CugPart})), "");
  // Schema mismatch on a class that checks it.
  EXPECT_NE(ErrorOf(Concat({kV8Header, ClassRecord("CContainer", 95), {1, 0},
                            ClassRecord("CPlugNameable", 2), {0, 0, 0, 0}})),
            "");
  // A root that is not a container.
  EXPECT_NE(ErrorOf(Concat({kV8Header, ClassRecord("CUG", 1), kV8CugPart})), "");
  // Reference and class indices beyond what was read.
  EXPECT_NE(ErrorOf(Concat({kV8Header, {5, 0}})), "");
  EXPECT_NE(ErrorOf(Concat({kV8Header, {2, 0x80}})), "");
  // A null root.
  EXPECT_NE(ErrorOf(Concat({kV8Header, {0, 0}})), "");
  // A text longer than 2^31-1.
  EXPECT_NE(ErrorOf(Bytes{8, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0}), "");
}

TEST(LoadFailure, AContainerListingItselfIsNotItsOwnChild) {
  // Root is object index 2 (its class record took 1); its old-style list names it.
  const Bytes doc =
      Concat({kV8Header, ClassRecord("CContainer", 95), kV8CugPart, {1, 0, 2, 0}, kV8ContainerTail});
  auto result = ReadDocument(doc, LoadMode::Full);
  ASSERT_TRUE(result.document) << result.error;
  EXPECT_TRUE(result.document->root->Children().empty());
}

TEST(LoadFailure, ControlValueCountAbove128IsRefused) {
  krtest::RegisterTestModules();
  DocumentBuilder b;
  auto slider = DocumentBuilder::MakeByClassName("Ctl_Slider");
  static_cast<CControl&>(*slider).numbers.assign(129, 1.0);
  b.AddObject(b.Root(), std::unique_ptr<CDocOb>(static_cast<CDocOb*>(slider.release())));
  auto doc = b.Finish();
  EXPECT_NE(ErrorOf(WriteDocument(*doc)), "");
}

TEST(LoadFailure, TruncatedDocumentsFailCleanly) {
  auto doc = krtest::MakeRichDocument();
  for (int version : {44, kCurrentDocumentVersion}) {
    const Bytes bytes = WriteDocument(*doc, version);
    // Every prefix through the header and first objects, then a sample.
    for (std::size_t n = 0; n < bytes.size(); n += n < 300 ? 1 : 23) {
      auto result = ReadDocument(std::span(bytes.data(), n), LoadMode::Full);
      ASSERT_EQ(result.document, nullptr) << "prefix " << n << " of version " << version;
    }
  }
}

TEST(LoadFailure, FlippedBytesNeverCrash) {
  auto doc = krtest::MakeRichDocument();
  const Bytes bytes = WriteDocument(*doc, kCurrentDocumentVersion);
  for (std::size_t i = 4; i < bytes.size(); i += i < 300 ? 1 : 37) {
    Bytes mutated = bytes;
    mutated[i] ^= 0xFF;
    ReadDocument(mutated, LoadMode::Restricted);  // any outcome but a crash or a leak
  }
}

}  // namespace

namespace {

TEST(LoadFailure, NestingBeyondTheLimitIsRefusedNotOverflowed) {
  auto nested = [](int depth) {
    DocumentBuilder b;
    CContainer* c = &b.Root();
    for (int i = 0; i < depth; ++i) c = &b.AddContainer(*c);
    return WriteDocument(*b.Finish());
  };
  EXPECT_TRUE(ReadDocument(nested(100), LoadMode::Full).document);
  auto deep = ReadDocument(nested(1000), LoadMode::Full);
  EXPECT_EQ(deep.document, nullptr);
  EXPECT_EQ(deep.error, "objects nested too deeply");
}

}  // namespace
