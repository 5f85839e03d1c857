#include "tools/patch_plugin.h"

#include <chrono>
#include <fstream>
#include <vector>

#include "tools/subcommand.h"

namespace kr {

#ifndef KR_DEFAULT_PLUGIN_NAME
#define KR_DEFAULT_PLUGIN_NAME "Kestrune.so"
#endif

namespace fs = std::filesystem;

namespace {

fs::path MakeFolder(std::string& error) {
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) {
    error = "no temporary folder: " + ec.message();
    return {};
  }
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path folder = base / ("kestrune-render-" + std::to_string(stamp) + "-" + std::to_string(attempt));
    if (fs::create_directory(folder, ec)) return folder;
  }
  error = "cannot make a temporary folder in " + base.string();
  return {};
}

}  // namespace

PatchPlugin::~PatchPlugin() {
  std::error_code ec;
  if (!folder_.empty()) fs::remove_all(folder_, ec);
}

bool PatchPlugin::Export(const std::string& patchPath, std::string& error) {
  const Subcommand* exporter = FindSubcommand("export");
  if (exporter == nullptr) {
    error = "this kestrune has no export command, so it cannot turn a patch into a plug-in; "
            "render an exported plug-in with --plugin";
    return false;
  }
  plugin_ = folder_ / (std::string("KestruneRender") + fs::path(KR_DEFAULT_PLUGIN_NAME).extension().string());
  const std::string output = plugin_.string();
  if (RunSubcommand(*exporter, {patchPath, "-o", output}) != 0 || !fs::exists(plugin_)) {
    error = "the patch " + patchPath + " could not be exported as a plug-in (see the messages above)";
    return false;
  }
  return true;
}

std::unique_ptr<PatchPlugin> PatchPlugin::FromFile(const std::string& patchPath, std::string& error) {
  auto made = std::make_unique<PatchPlugin>();
  made->folder_ = MakeFolder(error);
  if (made->folder_.empty() || !made->Export(patchPath, error)) return nullptr;
  return made;
}

std::unique_ptr<PatchPlugin> PatchPlugin::FromJsonText(std::string_view json, std::string& error) {
  auto made = std::make_unique<PatchPlugin>();
  made->folder_ = MakeFolder(error);
  if (made->folder_.empty()) return nullptr;
  const fs::path patch = made->folder_ / "default-subtractive.json";
  {
    std::ofstream out(patch, std::ios::binary);
    out.write(json.data(), static_cast<std::streamsize>(json.size()));
    if (!out) {
      error = "cannot write " + patch.string();
      return nullptr;
    }
  }
  if (!made->Export(patch.string(), error)) return nullptr;
  return made;
}

}  // namespace kr
