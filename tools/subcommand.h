// The kestrune program's subcommands: each is one entry of a table, in a
// file of its own.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

struct Subcommand {
  std::string_view name;
  std::string_view summary;
  int (*run)(std::span<const std::string_view> args);  // arguments after the subcommand's name
  void (*help)(std::ostream& out);
};

std::span<const Subcommand> Subcommands();

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
