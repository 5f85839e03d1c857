// kestrune compile: the JSON patch text to a document file.
#include <iostream>
#include <string>
#include <vector>

#include "base/path_names.h"
#include "document/document_file.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace {

int RunCompile(std::span<const std::string_view> args) {
  // --embed may stand anywhere; the rest is "INPUT [-o OUTPUT]".
  bool embed = false;
  std::vector<std::string_view> rest;
  for (std::string_view a : args) {
    if (a == "--embed") {
      embed = true;
    } else {
      rest.push_back(a);
    }
  }
  InputOutputArgs parsed;
  if (!ParseInputOutputArgs(rest, "compile", "patch file", parsed)) return 2;
  const std::string& input = parsed.input;
  std::string output = parsed.output;
  if (output.empty()) output = kr::ReplaceExtension(input, ".dat");
  if (output == input) {
    std::cerr << "kestrune compile: the output would replace the input; name one with -o\n";
    return 2;
  }
  const DocumentInput document = ReadDocumentInput(input, embed);
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
  out << "usage: kestrune compile patch.json [-o patch.dat] [--embed]\n\n"
         "Compiles a patch written in the JSON text form into a document file, the form\n"
         "a plug-in reads from the \".dat\" file beside it. Without -o the output is the\n"
         "input with the extension \".dat\". Faults are reported as file:line: problem.\n"
         "--embed puts every file the modules name (samples, SoundFonts, MIDI files)\n"
         "into the document, read from beside the patch; the plug-in then finds them\n"
         "even where they are not on disk. The patch's \"embed_named_files\": true does\n"
         "the same.\n"
         "Exit status: 0 on success, 1 when the patch has a fault, 2 for bad arguments.\n";
}

}  // namespace

const Subcommand kCompileCommand{"compile", "compile a JSON patch into a document file", &RunCompile, &CompileHelp};
