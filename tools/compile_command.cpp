// kestrune compile: the JSON patch text to a document file.
#include <iostream>
#include <string>

#include "document/document_file.h"
#include "document/path_names.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace {

int RunCompile(std::span<const std::string_view> args) {
  std::string input, output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = std::string(args[++i]);
    } else if (input.empty() && !args[i].starts_with("-")) {
      input = std::string(args[i]);
    } else {
      std::cerr << "kestrune compile: unexpected argument \"" << args[i] << "\" (see kestrune compile --help)\n";
      return 2;
    }
  }
  if (input.empty()) {
    std::cerr << "kestrune compile: no patch file given (see kestrune compile --help)\n";
    return 2;
  }
  if (output.empty()) output = kr::ReplaceExtension(input, ".dat");
  if (output == input) {
    std::cerr << "kestrune compile: the output would replace the input; name one with -o\n";
    return 2;
  }
  const DocumentInput document = ReadDocumentInput(input);
  if (!document.ok()) {
    std::cerr << "kestrune compile: " << document.error << "\n";
    return 1;
  }
  if (!ReadDocument(document.bytes, LoadMode::Full).document) {
    std::cerr << "kestrune compile: " << input << " is not a readable document\n";
    return 1;
  }
  if (!WriteOutputFile(output, document.bytes)) {
    std::cerr << "kestrune compile: can't write " << output << "\n";
    return 1;
  }
  std::cout << "wrote " << output << " (" << document.bytes.size() << " bytes)\n";
  return 0;
}

void CompileHelp(std::ostream& out) {
  out << "usage: kestrune compile patch.json [-o patch.dat]\n\n"
         "Compiles a patch written in the JSON text form into a document file, the form\n"
         "a plug-in reads from the \".dat\" file beside it. Without -o the output is the\n"
         "input with the extension \".dat\". Faults are reported as file:line: problem.\n"
         "Exit status: 0 on success, 1 when the patch has a fault, 2 for bad arguments.\n";
}

}  // namespace

const Subcommand kCompileCommand{"compile", "compile a JSON patch into a document file", &RunCompile, &CompileHelp};
