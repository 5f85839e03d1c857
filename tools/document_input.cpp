#include "tools/document_input.h"

#include <filesystem>
#include <iostream>

#include "base/path_names.h"
#include "base/whole_file.h"
#include "formats/image/carried_document.h"
#include "formats/image/scramble.h"
#include "formats/image/stored_document.h"
#include "patchtext/patch_compiler.h"
#include "patchtext/patch_text_error.h"

namespace kr {

namespace {

bool ReadAll(const std::string& path, std::vector<std::uint8_t>& bytes) {
  auto read = kr::ReadWholeFile(path);  // in one piece: plug-in files are large
  if (!read) return false;
  bytes = std::move(*read);
  return true;
}

bool LooksLikePlugin(const std::vector<std::uint8_t>& bytes) {
  const bool elf = bytes.size() >= 4 && bytes[0] == 0x7f && bytes[1] == 'E' && bytes[2] == 'L' && bytes[3] == 'F';
  const bool pe = bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
  return elf || pe;
}

}  // namespace

DocumentInput ReadDocumentInput(const std::string& path, bool embedNamedFiles) {
  DocumentInput input;
  std::vector<std::uint8_t> file;
  if (!ReadAll(path, file)) {
    input.error = "can't read " + path;
    return input;
  }
  if (kr::ExtensionLowerCase(path) == "json") {
    try {
      const std::string text(file.begin(), file.end());
      patchtext::CompileOptions options;
      options.embedNamedFiles = embedNamedFiles;
      input.bytes = patchtext::CompilePatchTextToBytes(text, std::filesystem::path(path).parent_path(), options);
    } catch (const patchtext::PatchTextError& e) {
      input.error = path + ":" + (e.Line() > 0 ? std::to_string(e.Line()) + ": " : " ") + e.Problem();
    }
    return input;
  }
  if (LooksLikePlugin(file)) {
    if (auto carried = kr::packaging::ReadCarriedDocument(file)) {
      kr::Unscramble(*carried);
      input.bytes = std::move(*carried);
      return input;
    }
    const std::string dat = kr::DataFilePathFor(path);
    if (!ReadAll(dat, input.bytes)) input.error = path + " carries no document and there is no " + dat;
    return input;
  }
  input.bytes = std::move(file);
  return input;
}

bool WriteOutputFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return kr::WriteWholeFile(path, bytes);
}

}  // namespace kr
