// kestrune compile: the JSON patch text to a document file.
#include <CLI/CLI.hpp>
#include <memory>
#include <iostream>
#include <string>
#include <vector>

#include "base/path_names.h"
#include "document/document_file.h"
#include "tools/command_line.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace kr {

namespace {

struct CompileArgs {
  InputOutputArgs files;
  bool embed = false;
};

int RunCompile(const CompileArgs& args) {
  const InputOutputArgs& parsed = args.files;
  const bool embed = args.embed;
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

CommandRun DeclareCompile(CLI::App& command) {
  auto args = std::make_shared<CompileArgs>();
  command.description(
      "Compiles a patch written in the JSON text form into a document file, the form\n"
      "a plug-in reads from the \".dat\" file beside it. Faults are reported as\n"
      "file:line: problem.");
  DeclareInputOutput(command, args->files, "patch", "the document file; default: the patch with the extension .dat");
  command.add_flag("--embed", args->embed,
                   "put every file the modules name (samples, SoundFonts, MIDI files) into the\n"
                   "document, read from beside the patch; the plug-in then finds them even where\n"
                   "they are not on disk (as the patch's \"embed_named_files\": true does)");
  command.footer("Exit status: 0 on success, 1 when the patch has a fault, 2 for bad arguments.");
  return [args] { return RunCompile(*args); };
}

}  // namespace

const Subcommand kCompileCommand{"compile", "compile a JSON patch into a document file", &DeclareCompile};

}  // namespace kr
