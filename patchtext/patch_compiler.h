// Compiling the patch text (JSON) into a document:
//
//   { "settings": {...}, "embedded_files": [...], "root": <container> }
//
// A container holds "modules" (modules by registry name, nested containers
// with "module": "Container", group boxes with "panel_group"), boundary
// "plugs", "wires" between "<id>.<plug name>" ends ("io" names the
// container's I/O module), "programs" and "features". README.md describes
// every key. Faults are reported with the line they were found on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace kr {

struct StoredDocument;

namespace patchtext {

struct CompileOptions {
  // Embed every file the modules name (file-name plugs, a SoundFont
  // module's "file") that lies beside the patch text, unless a file of that
  // name is embedded already. The text's "embed_named_files" asks it too.
  bool embedNamedFiles = false;
};

// Throws PatchTextError. Embedded files named by "path" are read relative to
// baseDirectory.
std::unique_ptr<StoredDocument> CompilePatchText(std::string_view text, const std::filesystem::path& baseDirectory,
                                                 CompileOptions options = {});

// The archive bytes of the compiled document, at the current version.
std::vector<std::uint8_t> CompilePatchTextToBytes(std::string_view text, const std::filesystem::path& baseDirectory,
                                                  CompileOptions options = {});

}  // namespace patchtext

}  // namespace kr
