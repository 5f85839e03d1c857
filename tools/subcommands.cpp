#include "tools/subcommand.h"

#include <array>

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 1> table = {kInfoCommand};
  return table;
}
