// kestrune export: a copy of the built plug-in that carries a patch.
#include <CLI/CLI.hpp>
#include <memory>
#include <iostream>
#include <string>

#include "document/document_file.h"
#include "formats/image/plugin_export.h"
#include "tools/default_plugin.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace kr {

#ifndef KR_DEFAULT_PLUGIN_NAME
#define KR_DEFAULT_PLUGIN_NAME "Kestrune.so"
#endif

namespace {

struct ExportArgs {
  std::string input, output, plugin;
  bool dat = false;
};

int RunExport(const ExportArgs& args) {
  const std::string& input = args.input;
  const std::string& output = args.output;
  std::string plugin = args.plugin;
  const auto form =
      args.dat ? kr::packaging::ExportForm::DataFileBeside : kr::packaging::ExportForm::StoredResource;
  if (plugin.empty()) plugin = DefaultPluginPath();
  const DocumentInput document = ReadDocumentInput(input);
  if (!document.ok()) {
    std::cerr << "kestrune export: " << document.error << "\n";
    return 1;
  }
  if (!ReadDocument(document.bytes, LoadMode::Restricted).document) {
    std::cerr << "kestrune export: " << input << " is not a readable document\n";
    return 1;
  }
  const auto result = kr::packaging::ExportPlugin(plugin, document.bytes, output, form);
  if (!result.ok()) {
    std::cerr << "kestrune export: " << result.error << "\n";
    return 1;
  }
  for (const std::string& written : result.written) std::cout << "wrote " << written << "\n";
  return 0;
}

CommandRun DeclareExport(CLI::App& command) {
  auto args = std::make_shared<ExportArgs>();
  command.description(
      "Writes a copy of the built plug-in that plays the patch. By default the document\n"
      "is scrambled into the copy's stored resource: a resource of type \"KR1\", id 165,\n"
      "in a Windows DLL; a named section in a Linux shared object. The patch may also\n"
      "be a plug-in that already carries a document.");
  command.add_option("patch", args->input, "the patch (.json or .dat)")->required();
  command.add_option("-o", args->output, "the plug-in copy to write (MySynth.so or MySynth.dll)")->required();
  command.add_option("--plugin", args->plugin,
                     "the plug-in copied; default " KR_DEFAULT_PLUGIN_NAME " beside this program\n"
                     "(give the Windows build's Kestrune.dll to make a DLL)");
  command.add_flag("--dat", args->dat,
                   "leave the copy as it is and write the plain document beside it, named like\n"
                   "the copy with the extension \".dat\"");
  command.footer("Exit status: 0 on success, 1 on failure, 2 for bad arguments.");
  return [args] { return RunExport(*args); };
}

}  // namespace

const Subcommand kExportCommand{"export", "write a copy of the plug-in that carries a patch", &DeclareExport};

}  // namespace kr
