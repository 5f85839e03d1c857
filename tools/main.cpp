// kestrune: the command-line program. It works on built plug-in files the way
// a host does, through their VST 2 entry.
#include <iostream>
#include <string_view>
#include <vector>

#include "external/library_registration.h"
#include "modules/builtin_modules.h"
#include "tools/subcommand.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "usage: kestrune <command> [arguments]\n"
         "       kestrune <command> --help\n"
         "       kestrune                   alone: render the demo (kestrune render)\n\ncommands:\n";
  for (const Subcommand& c : Subcommands()) out << "  " << c.name << "  " << c.summary << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  // Compiling and dumping patches resolve module names as the plug-in does.
  kr::RegisterBuiltinModules();
  kr::RegisterExternalModules();
  std::vector<std::string_view> args(argv + 1, argv + argc);
  // Alone, the program renders the demo: the default patch playing the demo phrase.
  if (args.empty()) args.push_back("render");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(std::cout);
    return 0;
  }
  for (const Subcommand& c : Subcommands()) {
    if (c.name != args[0]) continue;
    const std::span<const std::string_view> rest(args.data() + 1, args.size() - 1);
    for (std::string_view a : rest) {
      if (a == "--help" || a == "-h") {
        c.help(std::cout);
        return 0;
      }
    }
    return c.run(rest);
  }
  std::cerr << "kestrune: unknown command \"" << args[0] << "\"\n";
  PrintUsage(std::cerr);
  return 2;
}
