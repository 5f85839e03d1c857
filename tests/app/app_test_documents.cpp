#include "app_test_documents.h"

#include <fstream>
#include <iterator>

#include "support/synth_patch.h"

using namespace kr;

namespace krtest {

std::vector<std::uint8_t> PassThroughDocument(const PatchSpec& spec) {
  krtest::SynthPatch patch(spec.id);
  patch.Builder().Document().settings.pluginFlags = spec.pluginFlags;
  for (int i = 0; i < spec.audioPairs; ++i) {
    CPlug2& in = patch.AddAudioIn();
    patch.Wire(in, patch.AddAudioOut());
  }
  for (const auto& f : spec.files) patch.Builder().EmbedFile(f.name, f.bytes);
  return patch.Write();
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace krtest
