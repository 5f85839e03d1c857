// A patch exported into a copy of the built plug-in by the kestrune program
// beside it, in a temporary folder that goes with the object. Benchmarks load
// the copy through the plug-in's entry, as a host does.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace bench_support {

class ExportedPatch {
 public:
  // A patch file (JSON or stored document), relative to the source folder.
  ExportedPatch(std::string_view sourceRelative, std::string_view pluginName) : ExportedPatch(pluginName) {
    Export(std::filesystem::path(KR_SOURCE_DIR) / sourceRelative);
  }
  // A patch text made by the benchmark.
  static ExportedPatch FromText(std::string_view text, std::string_view pluginName) {
    ExportedPatch exported(pluginName);
    const std::filesystem::path patch = exported.folder_ / "patch.json";
    std::ofstream(patch) << text;
    exported.Export(patch);
    return exported;
  }
  ExportedPatch(ExportedPatch&& other) noexcept
      : folder_(std::move(other.folder_)), plugin_(std::move(other.plugin_)), ok_(other.ok_) {
    other.folder_.clear();
  }
  ExportedPatch(const ExportedPatch&) = delete;
  ExportedPatch& operator=(const ExportedPatch&) = delete;
  ExportedPatch& operator=(ExportedPatch&&) = delete;
  ~ExportedPatch() {
    std::error_code ec;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
  }

  bool ok() const { return ok_; }
  std::string Path() const { return plugin_.string(); }

 private:
  explicit ExportedPatch(std::string_view pluginName) {
    folder_ = std::filesystem::temp_directory_path() / ("kestrune-bench-" + std::to_string(std::rand()));
    std::filesystem::create_directories(folder_);
    plugin_ = folder_ / (std::string(pluginName) + std::filesystem::path(KR_PLUGIN_PATH).extension().string());
  }
  void Export(const std::filesystem::path& patch) {
    const std::filesystem::path program = std::filesystem::path(KR_PLUGIN_PATH).parent_path() / "kestrune";
    std::ostringstream command;
    command << program << " export " << patch << " -o " << plugin_ << " >/dev/null 2>&1";
    ok_ = std::filesystem::exists(program) && std::system(command.str().c_str()) == 0 &&
          std::filesystem::exists(plugin_);
  }

  std::filesystem::path folder_, plugin_;
  bool ok_ = false;
};

}  // namespace bench_support
