// Reading a file a module names, whole, through the application's file
// lookup (the audio master's host link): on the GUI thread, at Open.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/module_files.h"

namespace kr {

class ug_base;

namespace modules {

// Files larger than this are refused rather than read into memory.
inline constexpr std::uint64_t kMaxModuleFileBytes = 1ull << 30;

using ModuleFile = WholeModuleFile;

ModuleFile ReadModuleFile(ug_base& module, std::string_view name, std::string_view defaultExtension);

// Where the module may write the named file; empty when it may not.
std::string WritePathFor(ug_base& module, std::string_view name, std::string_view defaultExtension);

}  // namespace modules

}  // namespace kr
