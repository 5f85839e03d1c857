// "updt" on the GUI side: the document module's plug of the index shows the
// text when it differs; a bad index is ignored.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "document/container.h"
#include "document/plug2.h"
#include "engine/msg_text.h"
#include "graph/plug_text_update.h"

namespace krtest {
using namespace kr;

namespace {

struct BytesOut final : my_output_stream {
  void Write(std::span<const std::uint8_t> b) override { bytes.insert(bytes.end(), b.begin(), b.end()); }
  std::vector<std::uint8_t> bytes;
};

struct BytesIn final : my_input_stream {
  explicit BytesIn(std::vector<std::uint8_t> b) : bytes(std::move(b)) {}
  void Read(std::span<std::uint8_t> out) override {
    for (std::uint8_t& x : out) x = at < bytes.size() ? bytes[at++] : 0;
  }
  std::vector<std::uint8_t> bytes;
  std::size_t at = 0;
};

BytesIn Body(std::int32_t plug, std::string_view text) {
  BytesOut out;
  out << plug;
  WriteMsgText(out, text);
  return BytesIn(out.bytes);
}

TEST(PlugTextUpdate, SetsTheIndexedPlugsTextAndIgnoresOthers) {
  std::unique_ptr<CUG> module = MakeDocumentObjectByName("Control Plugs");
  ASSERT_NE(module, nullptr);
  ASSERT_FALSE(module->Plugs().empty());
  BytesIn body = Body(0, "2.5");
  SetPlugText(*module, body);
  EXPECT_EQ(module->Plugs()[0]->ValueText(), "2.5");
  EXPECT_EQ(body.at, body.bytes.size()) << "the whole body is read";
  for (std::int32_t bad : {-1, 1000}) {
    BytesIn other = Body(bad, "9");
    SetPlugText(*module, other);
    EXPECT_EQ(other.at, other.bytes.size());
  }
  EXPECT_EQ(module->Plugs()[0]->ValueText(), "2.5");
}

}  // namespace

}  // namespace krtest
