// kestrune: the command-line program. It works on built plug-in files the way
// a host does, through their VST 2 entry.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "external/library_registration.h"
#include "modules/builtin_modules.h"
#include "tools/subcommand.h"

using namespace kr;

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
  std::vector<std::string> args(argv + 1, argv + argc);
  // Alone, the program renders the demo: the default patch playing the demo phrase.
  if (args.empty()) args.emplace_back("render");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintUsage(std::cout);
    return 0;
  }
  const Subcommand* command = FindSubcommand(args[0]);
  if (command == nullptr) {
    std::cerr << "kestrune: unknown command \"" << args[0] << "\"\n";
    PrintUsage(std::cerr);
    return kBadArguments;
  }
  return RunSubcommand(*command, std::vector<std::string>(args.begin() + 1, args.end()));
}
