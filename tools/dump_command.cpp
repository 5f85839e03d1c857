// kestrune dump: any readable document back to the JSON patch text.
#include <CLI/CLI.hpp>
#include <memory>
#include <iostream>
#include <string>

#include "document/document_file.h"
#include "patchtext/patch_dumper.h"
#include "tools/command_line.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace kr {

namespace {

int RunDump(const InputOutputArgs& parsed) {
  const std::string& input = parsed.input;
  std::string output = parsed.output;
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

CommandRun DeclareDump(CLI::App& command) {
  auto args = std::make_shared<InputOutputArgs>();
  command.description(
      "Prints a document as the JSON patch text. The file may be a document (\".dat\"),\n"
      "a JSON patch (compiled first), or a plug-in that carries a document (its stored\n"
      "resource, else the \".dat\" beside it). Parts the text form cannot describe are\n"
      "left out or marked \"unsupported\".");
  DeclareInputOutput(command, *args, "file", "the JSON patch to write; default: standard output");
  command.footer("Exit status: 0 on success, 1 when the file holds no readable document, 2 for bad\narguments.");
  return [args] { return RunDump(*args); };
}

}  // namespace

const Subcommand kDumpCommand{"dump", "print a document as a JSON patch", &DeclareDump};

}  // namespace kr
