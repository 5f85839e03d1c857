// kestrune modules: every module kind a patch may name, with its legacy
// number, flags and plugs, as the registry holds them.
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "registry/module_registry.h"
#include "registry/registry_dump.h"
#include "tools/subcommand.h"

namespace kr {

namespace {

int RunModules() {
  std::cout << DumpRegistry(ModuleRegistry::Get());
  return 0;
}

CommandRun DeclareModules(CLI::App& command) {
  command.description(
      "Lists every module kind a patch may name, one line each in name order:\n"
      "  \"Name\" [number N] flags 0x... [group \"...\"] [placeholder] [no-audio]\n"
      "followed by its plugs in order:\n"
      "  [gui ]in|out|container-io|parameter TYPE \"Plug\" [default \"..\"] [list \"..\"] [flags 0x..] [hint \"..\"]\n"
      "number: the legacy module number of the oldest documents; placeholder: a stored name\n"
      "whose module is not built yet (a patch naming it loads but the module makes no sound);\n"
      "no-audio: the kind has no audio object (panel objects, GUI-side modules).");
  command.footer("Exit status: 0, or 2 for bad arguments.");
  return &RunModules;
}

}  // namespace

const Subcommand kModulesCommand{"modules", "list every module kind with its plugs", &DeclareModules};

}  // namespace kr
