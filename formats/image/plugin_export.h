// Turning a built plug-in and a patch document into a plug-in that carries
// the patch: the document scrambled into the plug-in's stored resource (a PE
// resource in a Windows DLL, a named section in a Linux shared object), or
// left plain in a ".dat" file beside a copy of the plug-in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kr::packaging {

enum class ExportForm { StoredResource, DataFileBeside };

struct ExportResult {
  std::string error;                 // empty on success
  std::vector<std::string> written;  // the files made

  bool ok() const { return error.empty(); }
};

// Reads pluginFile (ELF or PE, told apart by its first bytes) and writes
// outputFile, plus outputFile's ".dat" for the data-file form. The data-file
// form refuses a plug-in that already carries a stored document, since that
// one would win over the data file.
ExportResult ExportPlugin(const std::string& pluginFile, std::span<const std::uint8_t> documentBytes,
                          const std::string& outputFile, ExportForm form);

}  // namespace kr::packaging
