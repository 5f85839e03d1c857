// kestrune export: a copy of the built plug-in that carries a patch.
#include <iostream>
#include <string>

#include "document/document_file.h"
#include "formats/image/plugin_export.h"
#include "tools/default_plugin.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

#ifndef KR_DEFAULT_PLUGIN_NAME
#define KR_DEFAULT_PLUGIN_NAME "Kestrune.so"
#endif

namespace {

int RunExport(std::span<const std::string_view> args) {
  std::string input, output, plugin;
  auto form = kr::packaging::ExportForm::StoredResource;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = std::string(args[++i]);
    } else if (args[i] == "--plugin" && i + 1 < args.size()) {
      plugin = std::string(args[++i]);
    } else if (args[i] == "--dat") {
      form = kr::packaging::ExportForm::DataFileBeside;
    } else if (input.empty() && !args[i].starts_with("-")) {
      input = std::string(args[i]);
    } else {
      std::cerr << "kestrune export: unexpected argument \"" << args[i] << "\" (see kestrune export --help)\n";
      return 2;
    }
  }
  if (input.empty() || output.empty()) {
    std::cerr << "kestrune export: give a patch and -o <plug-in file> (see kestrune export --help)\n";
    return 2;
  }
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

void ExportHelp(std::ostream& out) {
  out << "usage: kestrune export patch.json|patch.dat -o MySynth.so|MySynth.dll [--plugin Kestrune.so|.dll] [--dat]\n\n"
         "Writes a copy of the built plug-in that plays the patch. By default the document\n"
         "is scrambled into the copy's stored resource: a resource of type \"KR1\", id 165,\n"
         "in a Windows DLL; a named section in a Linux shared object. With --dat the copy\n"
         "is left as it is and the plain document is written beside it, named like the\n"
         "copy with the extension \".dat\".\n"
         "The plug-in copied is " KR_DEFAULT_PLUGIN_NAME " beside this program unless --plugin\n"
         "names another (give the Windows build's Kestrune.dll to make a DLL).\n"
         "The patch may also be a plug-in that already carries a document.\n"
         "Exit status: 0 on success, 1 on failure, 2 for bad arguments.\n";
}

}  // namespace

const Subcommand kExportCommand{"export", "write a copy of the plug-in that carries a patch", &RunExport,
                                &ExportHelp};
