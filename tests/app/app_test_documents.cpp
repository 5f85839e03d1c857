#include "app_test_documents.h"

#include <fstream>
#include <iterator>

#include "document/document_builder.h"

namespace apptest {

std::vector<std::uint8_t> PassThroughDocument(const PatchSpec& spec) {
  DocumentBuilder b;
  b.Document().settings.uniqueId = spec.id;
  b.Document().settings.pluginFlags = spec.pluginFlags;
  CContainer& top = b.AddContainer(b.Root());
  top.SetTitle("Synth");
  for (int i = 0; i < spec.audioPairs; ++i) {
    auto [outerIn, innerIn] = b.AddBoundaryPlug(top, DR_IN, DT_AUDIO, "In " + std::to_string(i + 1));
    auto [outerOut, innerOut] = b.AddBoundaryPlug(top, DR_OUT, DT_AUDIO, "Out " + std::to_string(i + 1));
    b.Connect(*innerIn, *innerOut);
  }
  for (const auto& f : spec.files) b.EmbedFile(f.name, f.bytes);
  auto doc = b.Finish();
  return WriteDocument(*doc);
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace apptest
