#include "tools/subcommand.h"

#include <array>

std::span<const Subcommand> Subcommands() {
  static const std::array<Subcommand, 2> table = {kInfoCommand, kRenderCommand};
  return table;
}
