#include "tools/subcommand.h"

#include <array>

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 8> table = {kInfoCommand,   kCompileCommand, kDumpCommand,  kExportCommand,
                                                  kRenderCommand, kModulesCommand, kPanelCommand,
                                                  kTortureCommand};
  return table;
}
