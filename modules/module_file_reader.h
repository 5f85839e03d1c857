// Reading a file a module names, whole, through the application's file
// lookup (the audio master's host link): on the GUI thread, at Open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ug_base;

namespace kr::modules {

// Files larger than this are refused rather than read into memory.
inline constexpr std::uint64_t kMaxModuleFileBytes = 1ull << 30;

struct ModuleFile {
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;  // null when not read
  std::string path;      // the resolved path (or the name when nothing was found)
  bool tooLarge = false;
};

ModuleFile ReadModuleFile(ug_base& module, std::string_view name, std::string_view defaultExtension);

// Where the module may write the named file; empty when it may not.
std::string WritePathFor(ug_base& module, std::string_view name, std::string_view defaultExtension);

}  // namespace kr::modules
