#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "tools/subcommand.h"

namespace kr {

int RunSubcommand(const Subcommand& subcommand, std::vector<std::string> args) {
  const std::string name(subcommand.name);
  CLI::App command(std::string(subcommand.summary), "kestrune " + name);
  const CommandRun run = subcommand.declare(command);
  std::reverse(args.begin(), args.end());  // CLI11 takes the arguments last first
  // Extras are gathered, not thrown, so that an unknown option is told before
  // a missing positional (the likelier mistake when both are there).
  command.allow_extras();
  // "/path" is a file, never a Windows-style "/option" (CLI11's default on Windows).
  command.allow_windows_style_options(false);
  std::string problem;
  try {
    command.parse(args);
  } catch (const CLI::CallForHelp& help) {
    return command.exit(help, std::cout, std::cerr);
  } catch (const CLI::ParseError& error) {
    problem = error.what();
  }
  if (const std::vector<std::string> extra = command.remaining(); !extra.empty())
    problem = "unexpected argument \"" + extra.front() + "\"";
  if (!problem.empty()) {
    std::cerr << "kestrune " << name << ": " << problem << " (see kestrune " << name << " --help)\n";
    return kBadArguments;
  }
  return run();
}

}  // namespace kr
