// The kestrune program's subcommands: each is one entry of a table, in a
// file of its own. An entry declares its options on the command-line parser
// and hands back what runs once they have parsed.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
}

namespace kr {

// Runs the subcommand with the options parsed into it; answers the exit status.
using CommandRun = std::function<int()>;

struct Subcommand {
  std::string_view name;
  std::string_view summary;
  CommandRun (*declare)(CLI::App& command);  // options, positionals, help text
};

std::span<const Subcommand> Subcommands();
const Subcommand* FindSubcommand(std::string_view name);

// The exit status of arguments that do not parse.
constexpr int kBadArguments = 2;

// Parses args (those after the subcommand's name) and runs the subcommand;
// bad arguments are told on stderr, --help on stdout.
int RunSubcommand(const Subcommand& subcommand, std::vector<std::string> args);

// Subcommand entries (one per file).
extern const Subcommand kInfoCommand;
extern const Subcommand kCompileCommand;
extern const Subcommand kDumpCommand;
extern const Subcommand kExportCommand;
extern const Subcommand kRenderCommand;
extern const Subcommand kModulesCommand;
extern const Subcommand kPanelCommand;
extern const Subcommand kTortureCommand;
extern const Subcommand kInstallCommand;

}  // namespace kr
