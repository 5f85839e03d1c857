#include "tools/subcommand.h"

#include <array>

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 4> table = {kInfoCommand, kCompileCommand, kDumpCommand, kExportCommand};
  return table;
}
