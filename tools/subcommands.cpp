#include "tools/subcommand.h"

#include <array>

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 6> table = {kInfoCommand,   kCompileCommand, kDumpCommand,
                                                  kExportCommand, kRenderCommand,  kModulesCommand};
  return table;
}
