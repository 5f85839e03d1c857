// What the kestrune commands accept as a patch: the JSON text form, a plain
// document (".dat"), or a plug-in file that carries one (its stored resource,
// else the ".dat" beside it).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// The arguments "INPUT [-o OUTPUT]" of a command. Prints the complaint
// (naming the command and what the input is) and gives false when they do
// not parse or no input is named.
struct InputOutputArgs {
  std::string input;
  std::string output;  // empty when not given
};
bool ParseInputOutputArgs(std::span<const std::string_view> args, std::string_view command,
                          std::string_view inputKind, InputOutputArgs& parsed);
