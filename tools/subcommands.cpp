#include "tools/subcommand.h"

#include <array>

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 5> table = {kInfoCommand, kCompileCommand, kDumpCommand, kExportCommand,
                                                  kRenderCommand};
  return table;
}
