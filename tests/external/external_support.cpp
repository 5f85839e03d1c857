#include "external_support.h"

#include <sstream>

#include "formats/image/plugin_export.h"
#include "patchtext/patch_compiler.h"
#include "platform/platform.h"

using namespace kr;

namespace krtest {

fs::path Built(const std::string& fileName) { return fs::path(KR_TEST_LIBRARY_DIR) / fileName; }

fs::path CopyBuilt(const std::string& fileName, const fs::path& folder, const std::string& newName) {
  fs::create_directories(folder);
  const fs::path target = folder / (newName.empty() ? fileName : newName);
  fs::copy_file(Built(fileName), target, fs::copy_options::overwrite_existing);
  return target;
}

HeldLibrary::HeldLibrary(const fs::path& library) : handle_(platform::LoadLibrary(library.string())) {}
HeldLibrary::~HeldLibrary() { platform::FreeLibrary(handle_); }
void* HeldLibrary::Symbol(const char* name) const {
  return handle_ != nullptr ? platform::LibrarySymbol(handle_, name) : nullptr;
}

std::vector<std::string> CallLog(const fs::path& library) {
  HeldLibrary loaded(library);
  std::vector<std::string> lines;
  const auto log = reinterpret_cast<const char* (*)()>(loaded.Symbol("krTestLog"));
  if (log == nullptr) return lines;
  std::istringstream in(log());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void ClearCallLog(const fs::path& library) {
  HeldLibrary loaded(library);
  if (const auto clear = reinterpret_cast<void (*)()>(loaded.Symbol("krTestClearLog"))) clear();
}

std::vector<std::uint8_t> CompilePatch(const std::string& json) {
  return patchtext::CompilePatchTextToBytes(json, KR_TEST_LIBRARY_DIR);
}

fs::path ExportPlugin(const std::vector<std::uint8_t>& document, const fs::path& folder, const std::string& name) {
  const fs::path out = folder / name;
  const auto result =
      kr::packaging::ExportPlugin(KR_PLUGIN_PATH, document, out.string(), kr::packaging::ExportForm::StoredResource);
  return result.ok() ? out : fs::path();
}

fs::path FolderBeside(const fs::path& plugin) { return plugin.parent_path() / plugin.stem(); }

std::string ChainPatch(const std::string& module, const std::string& in, const std::string& out,
                       const std::string& values, const std::string& embedded) {
  return R"({"kestrune_patch": 1, "settings": {"id": "KxLb"}, "embedded_files": )" + embedded +
         R"(, "root": {"title": "Main", "modules": [{"module": "Container", "id": "synth", "title": "Synth",
    "plugs": [{"name": "Left In", "direction": "in"}, {"name": "Right In", "direction": "in"},
              {"name": "Left Out", "direction": "out"}, {"name": "Right Out", "direction": "out"}],
    "modules": [{"module": ")" +
         module + R"(", "id": "m", "values": )" + values + R"(}],
    "wires": [{"from": "io.Left In", "to": "m.)" +
         in + R"("}, {"from": "m.)" + out + R"(", "to": "io.Left Out"},
              {"from": "io.Right In", "to": "io.Right Out"}]}]}})";
}

float RampInput(int channel, int frame) {
  return 0.01f * static_cast<float>(frame + 1) * (channel == 0 ? 1.0f : -1.0f);
}

void StartSound(HostHarness& host) {
  host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  host.Dispatch(vst::effSetBlockSize, 0, 64);
  host.Dispatch(vst::effMainsChanged, 0, 1);
}

Rendered RunRamp(HostHarness& host, std::span<const MidiAt> midi) {
  host.PrepareBlock(64);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < 64; ++i) host.Input(c)[static_cast<std::size_t>(i)] = RampInput(c, i);
  host.RunBlock(midi);
  Rendered out;
  out.left.assign(host.Output(0).begin(), host.Output(0).end());
  out.right.assign(host.Output(1).begin(), host.Output(1).end());
  return out;
}

#if defined(_WIN32)
constexpr const char* kCacheVariable = "LOCALAPPDATA";
#else
constexpr const char* kCacheVariable = "XDG_CACHE_HOME";
#endif

CacheFolderOverride::CacheFolderOverride(const fs::path& folder) : EnvironmentOverride(kCacheVariable, folder.string()) {}

}  // namespace krtest
