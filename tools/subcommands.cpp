#include "tools/subcommand.h"

#include <array>

namespace kr {

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 9> table = {kInfoCommand,   kCompileCommand, kDumpCommand,  kExportCommand,
                                                  kInstallCommand, kRenderCommand, kModulesCommand,
                                                  kPanelCommand,   kTortureCommand};
  return table;
}

const Subcommand* FindSubcommand(std::string_view name) {
  for (const Subcommand& c : Subcommands())
    if (c.name == name) return &c;
  return nullptr;
}

}  // namespace kr
