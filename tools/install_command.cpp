// kestrune install: copies exported plug-ins into the folder hosts scan.
#include <CLI/CLI.hpp>
#include <memory>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "formats/image/stored_document.h"
#include "platform/platform.h"
#include "tools/subcommand.h"

namespace kr {

namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// The first folder of $VST_PATH, else ~/.vst (Linux hosts scan both);
// empty when neither can be named.
fs::path DefaultDestination() {
  const std::string list = Environment("VST_PATH");
  const std::string first = list.substr(0, list.find(kPathListSeparator));
  if (!first.empty()) return first;
#ifdef _WIN32
  return {};
#else
  const std::string home = Environment("HOME");
  return home.empty() ? fs::path() : fs::path(home) / ".vst";
#endif
}

// The template plug-in returns null from its entry: a host would list it
// as broken, so only copies that carry a patch are installed.
bool CarriesPatch(const fs::path& plugin) {
  const std::string path = plugin.string();
  if (platform::LoadStoredResourceFromFile(path, kr::kStoredDocumentType, kr::kStoredDocumentId)) return true;
  return fs::exists(kr::DataFilePathFor(path));
}

bool CopyInto(const fs::path& from, const fs::path& folder) {
  std::error_code error;
  const fs::path to = folder / from.filename();
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
  if (error) {
    std::cerr << "kestrune install: cannot copy " << from.string() << " to " << to.string() << ": "
              << error.message() << "\n";
    return false;
  }
  std::cout << "installed " << to.string() << "\n";
  return true;
}

struct InstallArgs {
  std::vector<std::string> plugins;
  std::string destination;
};

int RunInstall(const InstallArgs& args) {
  const std::vector<fs::path> plugins(args.plugins.begin(), args.plugins.end());
  fs::path destination = args.destination;
  if (destination.empty()) destination = DefaultDestination();
  if (destination.empty()) {
    std::cerr << "kestrune install: no folder to install into: set VST_PATH or give --to FOLDER\n";
    return 2;
  }
  // Every file is checked before anything is copied, so a mistake leaves
  // the host's folder as it was.
  for (const fs::path& plugin : plugins) {
    if (!fs::is_regular_file(plugin)) {
      std::cerr << "kestrune install: " << plugin.string() << " is not a file\n";
      return 1;
    }
    if (!CarriesPatch(plugin)) {
      std::cerr << "kestrune install: " << plugin.string()
                << " carries no patch, and hosts would list it as broken; export a patch into a copy "
                   "with kestrune export and install that\n";
      return 1;
    }
  }
  std::error_code error;
  fs::create_directories(destination, error);
  if (error) {
    std::cerr << "kestrune install: cannot make the folder " << destination.string() << ": " << error.message()
              << "\n";
    return 1;
  }
  for (const fs::path& plugin : plugins) {
    if (!CopyInto(plugin, destination)) return 1;
    const fs::path data = kr::DataFilePathFor(plugin.string());
    if (fs::exists(data) && !CopyInto(data, destination)) return 1;
  }
  return 0;
}

CommandRun DeclareInstall(CLI::App& command) {
  auto args = std::make_shared<InstallArgs>();
  command.description(
      "Copies plug-ins that carry a patch (made by kestrune export, such as the\n"
      "\"Kestrune Subtractive\" the build makes) into the folder hosts scan. A data file\n"
      "written beside a plug-in (export --dat) is copied with it. Files already there are\n"
      "replaced. The template plug-in, which carries no patch, is refused.");
  command.add_option("plugins", args->plugins, "the plug-in files to install")->required();
  command.add_option("--to", args->destination, "the folder; default the first folder of $VST_PATH, else ~/.vst");
  command.footer("Exit status: 0 on success, 1 on failure, 2 for bad arguments.");
  return [args] { return RunInstall(*args); };
}

}  // namespace

const Subcommand kInstallCommand{"install", "copy exported plug-ins into the folder hosts scan", &DeclareInstall};

}  // namespace kr
