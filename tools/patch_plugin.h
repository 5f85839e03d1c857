// A patch document (.json or .dat) turned into a plug-in file that a host
// can load: the `export` command writes a copy of the built plug-in carrying
// the patch into a temporary folder, removed again with this object.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace kr {

class PatchPlugin {
 public:
  // Nothing, with `error` set, when the patch could not be exported.
  static std::unique_ptr<PatchPlugin> FromFile(const std::string& patchPath, std::string& error);
  static std::unique_ptr<PatchPlugin> FromJsonText(std::string_view json, std::string& error);
  PatchPlugin() = default;
  ~PatchPlugin();
  PatchPlugin(const PatchPlugin&) = delete;
  PatchPlugin& operator=(const PatchPlugin&) = delete;

  std::string Path() const { return plugin_.string(); }

 private:
  bool Export(const std::string& patchPath, std::string& error);

  std::filesystem::path folder_;
  std::filesystem::path plugin_;
};

}  // namespace kr
