// kestrune panel: a patch's front panel drawn headless into a PNG file, as
// the plug-in's editor shows it.
#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <string>

#include "base/path_names.h"
#include "document/container.h"
#include "document/document_file.h"
#include "document/panel_objects.h"
#include "gui/panel/panel_image.h"
#include "gui/panel/panel_view.h"
#include "platform/platform.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace kr {

namespace {

// The container whose panel and programs the plug-in shows: the first
// enabled container inside the root.
CContainer* TopContainer(CContainer& root) {
  for (const auto& c : root.Children())
    if (auto* inner = DynamicKind<CContainer>(c.get()); inner && !inner->Disabled()) return inner;
  return nullptr;
}

struct PanelArgs {
  std::string input, output;
  int program = -1, scale = 1, page = -1;
};

int RunPanel(const PanelArgs& args) {
  const std::string& input = args.input;
  std::string output = args.output;
  const int program = args.program, scale = args.scale;
  if (output.empty()) output = kr::ReplaceExtension(input, ".png");

  // Messages (a missing skin image) are lines on stderr, also on Windows.
  const platform::MessageSink previous = platform::SetMessageSink(
      [](const platform::MessageBoxRequest& m) { std::cerr << "kestrune panel: " << m.text << "\n"; });
  struct Restore {
    platform::MessageSink sink;
    ~Restore() { platform::SetMessageSink(std::move(sink)); }
  } restore{previous};

  const auto start = std::chrono::steady_clock::now();
  const DocumentInput document = ReadDocumentInput(input);
  if (!document.ok()) {
    std::cerr << "kestrune panel: " << document.error << "\n";
    return 1;
  }
  DocumentLoadResult loaded = ReadDocument(document.bytes, LoadMode::Full);
  if (!loaded.document || !loaded.document->root) {
    std::cerr << "kestrune panel: " << input << " is not a readable document"
              << (loaded.error.empty() ? "" : " (" + loaded.error + ")") << "\n";
    return 1;
  }
  StoredDocument& doc = *loaded.document;
  if (program >= 0)
    if (CContainer* top = TopContainer(*doc.root)) top->SetProgram(program);
  if (args.page >= 0)
    if (CContainer* top = TopContainer(*doc.root))
      for (const auto& c : top->Children())
        if (auto* box = DynamicKind<CTabBox>(c.get()); box && box->PagePlug())
          box->PagePlug()->SetValueText(std::to_string(args.page));

  kr::gui::SkinRegistry skins(doc.skins);
  kr::gui::PanelValues values;
  kr::gui::PanelView view(doc, skins, values);
  view.OpenPanel();
  const std::vector<std::uint8_t> png = kr::gui::RenderPanelPng(view, scale);
  if (png.empty()) {
    std::cerr << "kestrune panel: the picture could not be made\n";
    return 1;
  }
  if (!WriteOutputFile(output, png)) {
    std::cerr << "kestrune panel: can't write " << output << "\n";
    return 1;
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  const kr::gui::Size size = view.PanelSize();
  std::cout << "wrote " << output << " (" << size.width * scale << " x " << size.height * scale << " pixels, "
            << ms.count() << " ms)\n";
  return 0;
}

CommandRun DeclarePanel(CLI::App& command) {
  auto args = std::make_shared<PanelArgs>();
  command.description(
      "Draws the patch's front panel as the plug-in's editor shows it, without a host\n"
      "or a display, into a PNG file. The panel size is the one the patch stores\n"
      "(\"panel_size\"); without one, the extent of what the panel shows.");
  command.add_option("patch", args->input, "a JSON patch, a document (.dat) or a plug-in carrying one")->required();
  command.add_option("-o", args->output, "the PNG file; default: the patch's name with .png");
  command.add_option("--program", args->program, "show the controls at this program of the plug-in's container")
      ->check(CLI::Range(0, 127));
  command.add_option("--page", args->page, "show the tab boxes of the plug-in's container at this page")
      ->check(CLI::Range(0, 4095));
  command.add_option("--scale", args->scale, "draw every pixel S x S")->check(CLI::Range(1, 8))->capture_default_str();
  command.footer(
      "Exit status: 0 on success, 1 when the patch cannot be read or the file written,\n"
      "2 for bad arguments.");
  return [args] { return RunPanel(*args); };
}

}  // namespace

const Subcommand kPanelCommand{"panel", "draw a patch's front panel into a PNG file", &DeclarePanel};

}  // namespace kr
