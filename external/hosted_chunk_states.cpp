#include "external/hosted_chunk_states.h"

#include <optional>
#include <string>

#include "document/container.h"
#include "document/iterators.h"
#include "external/vst_bank_files.h"
#include "external/vst_plugin_module.h"

namespace kr {

namespace {

constexpr std::uint32_t kTrailerMagic = 0x7068524Bu;  // "KRhp" in file order
constexpr std::size_t kTrailerBytes = 12;             // count, entry bytes, magic
constexpr std::size_t kEntryHeaderBytes = 12;         // position, unique ID, size

std::vector<VstPluginModule*> HostedModules(CContainer& top) {
  std::vector<VstPluginModule*> modules;
  it_imbedded_doc_ob_recursive it(top);
  for (it.First(); !it.AtEnd(); it.Next())
    if (auto* module = dynamic_cast<VstPluginModule*>(it.Current())) modules.push_back(module);
  return modules;
}

void PutInt(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

std::uint32_t GetInt(std::span<const std::uint8_t> bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | bytes[at + static_cast<std::size_t>(i)];
  return v;
}

}  // namespace

std::vector<std::uint8_t> WriteHostedStates(CContainer& top, bool isPreset) {
  std::vector<std::uint8_t> out;
  std::uint32_t count = 0;
  const std::vector<VstPluginModule*> modules = HostedModules(top);
  for (std::size_t position = 0; position < modules.size(); ++position) {
    VST_Wrapper& wrapper = modules[position]->Wrapper();
    if (!wrapper.Loaded()) continue;
    std::string unused;
    const std::optional<std::vector<std::uint8_t>> file = SaveHostedPrograms(wrapper, isPreset, unused);
    if (!file) continue;
    PutInt(out, static_cast<std::uint32_t>(position));
    PutInt(out, static_cast<std::uint32_t>(wrapper.UniqueId()));
    PutInt(out, static_cast<std::uint32_t>(file->size()));
    out.insert(out.end(), file->begin(), file->end());
    ++count;
  }
  if (count == 0) return {};
  const auto entryBytes = static_cast<std::uint32_t>(out.size());
  PutInt(out, count);
  PutInt(out, entryBytes);
  PutInt(out, kTrailerMagic);
  return out;
}

int ReadHostedStates(CContainer& top, std::span<const std::uint8_t> chunk, bool isPreset) {
  if (chunk.size() < kTrailerBytes) return 0;
  const std::size_t end = chunk.size() - kTrailerBytes;
  if (GetInt(chunk, end + 8) != kTrailerMagic) return 0;
  const std::uint32_t count = GetInt(chunk, end);
  const std::uint32_t entryBytes = GetInt(chunk, end + 4);
  if (entryBytes > end) return 0;
  const std::vector<VstPluginModule*> modules = HostedModules(top);
  std::size_t at = end - entryBytes;
  int taken = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (end - at < kEntryHeaderBytes) break;
    const std::uint32_t position = GetInt(chunk, at);
    const auto id = static_cast<std::int32_t>(GetInt(chunk, at + 4));
    const std::uint32_t size = GetInt(chunk, at + 8);
    at += kEntryHeaderBytes;
    if (size > end - at) break;
    const std::span<const std::uint8_t> file = chunk.subspan(at, size);
    at += size;
    if (position >= modules.size()) continue;
    VST_Wrapper& wrapper = modules[position]->Wrapper();
    if (!wrapper.Loaded() || wrapper.UniqueId() != id) continue;
    std::string unused;
    if (LoadHostedPrograms(wrapper, file, isPreset, unused)) ++taken;
  }
  return taken;
}

}  // namespace kr
