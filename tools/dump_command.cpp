// kestrune dump: any readable document back to the JSON patch text.
#include <iostream>
#include <string>

#include "document/document_file.h"
#include "patchtext/patch_dumper.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace {

int RunDump(std::span<const std::string_view> args) {
  std::string input, output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = std::string(args[++i]);
    } else if (input.empty() && !args[i].starts_with("-")) {
      input = std::string(args[i]);
    } else {
      std::cerr << "kestrune dump: unexpected argument \"" << args[i] << "\" (see kestrune dump --help)\n";
      return 2;
    }
  }
  if (input.empty()) {
    std::cerr << "kestrune dump: no file given (see kestrune dump --help)\n";
    return 2;
  }
  const DocumentInput document = ReadDocumentInput(input);
  if (!document.ok()) {
    std::cerr << "kestrune dump: " << document.error << "\n";
    return 1;
  }
  const DocumentLoadResult loaded = ReadDocument(document.bytes, LoadMode::Full);
  if (!loaded.document) {
    std::cerr << "kestrune dump: " << input << " is not a readable document"
              << (loaded.error.empty() ? "" : " (" + loaded.error + ")") << "\n";
    return 1;
  }
  const std::string text = patchtext::DumpPatchText(*loaded.document);
  if (output.empty()) {
    std::cout << text;
    return 0;
  }
  if (!WriteOutputFile(output, std::vector<std::uint8_t>(text.begin(), text.end()))) {
    std::cerr << "kestrune dump: can't write " << output << "\n";
    return 1;
  }
  return 0;
}

void DumpHelp(std::ostream& out) {
  out << "usage: kestrune dump file [-o patch.json]\n\n"
         "Prints a document as the JSON patch text. The file may be a document (\".dat\"),\n"
         "a JSON patch (compiled first), or a plug-in that carries a document (its stored\n"
         "resource, else the \".dat\" beside it). Parts the text form cannot describe are\n"
         "left out or marked \"unsupported\".\n"
         "Exit status: 0 on success, 1 when the file holds no readable document, 2 for bad\n"
         "arguments.\n";
}

}  // namespace

const Subcommand kDumpCommand{"dump", "print a document as a JSON patch", &RunDump, &DumpHelp};
