// What the kestrune commands accept as a patch: the JSON text form, a plain
// document (".dat"), or a plug-in file that carries one (its stored resource,
// else the ".dat" beside it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kr {

struct DocumentInput {
  std::vector<std::uint8_t> bytes;  // the document archive
  std::string error;                // empty on success; says what went wrong
  bool ok() const { return error.empty(); }
};

// embedNamedFiles: a JSON patch embeds the files its modules name (see
// patchtext::CompileOptions).
DocumentInput ReadDocumentInput(const std::string& path, bool embedNamedFiles = false);

// Writes bytes to path; false (with errno's story left to the caller) on failure.
bool WriteOutputFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace kr
