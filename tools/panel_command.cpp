// kestrune panel: a patch's front panel drawn headless into a PNG file, as
// the plug-in's editor shows it.
#include <charconv>
#include <chrono>
#include <iostream>
#include <string>

#include "base/path_names.h"
#include "document/document_file.h"
#include "gui/panel/panel_image.h"
#include "gui/panel/panel_view.h"
#include "platform/platform.h"
#include "tools/document_input.h"
#include "tools/subcommand.h"

namespace {

bool ParseNumber(std::string_view text, int low, int high, int& out) {
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || v < low || v > high) return false;
  out = v;
  return true;
}

// The container whose panel and programs the plug-in shows: the first
// enabled container inside the root.
CContainer* TopContainer(CContainer& root) {
  for (const auto& c : root.Children())
    if (auto* inner = DynamicKind<CContainer>(c.get()); inner && !inner->Disabled()) return inner;
  return nullptr;
}

int RunPanel(std::span<const std::string_view> args) {
  std::string input, output;
  int program = -1, scale = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "-o" && hasValue) {
      output = std::string(args[++i]);
    } else if (a == "--program" && hasValue) {
      if (!ParseNumber(args[++i], 0, 127, program)) {
        std::cerr << "kestrune panel: --program takes a program number from 0 to 127\n";
        return 2;
      }
    } else if (a == "--scale" && hasValue) {
      if (!ParseNumber(args[++i], 1, 8, scale)) {
        std::cerr << "kestrune panel: --scale takes a whole number from 1 to 8\n";
        return 2;
      }
    } else if (input.empty() && !a.starts_with("-")) {
      input = std::string(a);
    } else {
      std::cerr << "kestrune panel: unexpected argument \"" << a << "\" (see kestrune panel --help)\n";
      return 2;
    }
  }
  if (input.empty()) {
    std::cerr << "kestrune panel: no patch given (see kestrune panel --help)\n";
    return 2;
  }
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

void PanelHelp(std::ostream& out) {
  out << "usage: kestrune panel patch [-o panel.png] [--program N] [--scale S]\n\n"
         "Draws the patch's front panel as the plug-in's editor shows it, without a host\n"
         "or a display, into a PNG file (default: the patch's name with \".png\"). The patch\n"
         "may be a JSON patch, a document (\".dat\") or a plug-in carrying one.\n"
         "  --program N  show the controls at program N (0 to 127) of the plug-in's container\n"
         "  --scale S    draw every pixel S x S (1 to 8)\n"
         "The panel size is the one the patch stores (\"panel_size\"); without one, the\n"
         "extent of what the panel shows.\n"
         "Exit status: 0 on success, 1 when the patch cannot be read or the file written,\n"
         "2 for bad arguments.\n";
}

}  // namespace

const Subcommand kPanelCommand{"panel", "draw a patch's front panel into a PNG file", &RunPanel, &PanelHelp};
