#include "formats/image/plugin_export.h"

#include <filesystem>
#include <stdexcept>

#include "base/whole_file.h"
#include "formats/image/carried_document.h"
#include "formats/image/elf_image.h"
#include "formats/image/elf_section_writer.h"
#include "formats/image/pe_image.h"
#include "formats/image/pe_resource_writer.h"
#include "formats/image/scramble.h"
#include "formats/image/stored_document.h"

namespace kr::packaging {

namespace {

ImageResult WithStoredDocument(std::span<const std::uint8_t> plugin, std::span<const std::uint8_t> document) {
  std::vector<std::uint8_t> scrambled(document.begin(), document.end());
  Scramble(scrambled);
  if (LooksLikeElf(plugin)) return AddElfSection(plugin, CarriedDocumentSectionName(), scrambled);
  if (LooksLikePe(plugin)) return AddPeResource(plugin, kStoredDocumentType, kStoredDocumentId, scrambled);
  return ImageResult::Failure("not an ELF or PE file");
}

// A copy of a plug-in should be as runnable as the plug-in.
void CopyPermissions(const std::string& from, const std::string& to) {
  std::error_code ec;
  const auto status = std::filesystem::status(from, ec);
  if (!ec) std::filesystem::permissions(to, status.permissions(), ec);
}

ExportResult Export(const std::string& pluginFile, std::span<const std::uint8_t> documentBytes,
                    const std::string& outputFile, ExportForm form) {
  const auto plugin = ReadWholeFile(pluginFile);
  if (!plugin) return {"can't read the plug-in file " + pluginFile, {}};
  if (!LooksLikeElf(*plugin) && !LooksLikePe(*plugin)) return {pluginFile + " is not an ELF or PE file", {}};

  ExportResult result;
  if (form == ExportForm::StoredResource) {
    ImageResult image = WithStoredDocument(*plugin, documentBytes);
    if (!image.ok()) return {pluginFile + ": " + image.error, {}};
    if (!WriteWholeFile(outputFile, image.image)) return {"can't write " + outputFile, {}};
    result.written.push_back(outputFile);
  } else {
    if (ReadCarriedDocument(*plugin))
      return {pluginFile + " already carries a stored document, which would be used instead of a data file", {}};
    const std::string dataFile = DataFilePathFor(outputFile);
    if (dataFile == outputFile) return {"the output file needs a name other than its data file's", {}};
    if (!WriteWholeFile(outputFile, *plugin)) return {"can't write " + outputFile, {}};
    result.written.push_back(outputFile);
    if (!WriteWholeFile(dataFile, documentBytes)) return {"can't write " + dataFile, result.written};
    result.written.push_back(dataFile);
  }
  CopyPermissions(pluginFile, outputFile);
  return result;
}

}  // namespace

ExportResult ExportPlugin(const std::string& pluginFile, std::span<const std::uint8_t> documentBytes,
                          const std::string& outputFile, ExportForm form) {
  try {
    return Export(pluginFile, documentBytes, outputFile, form);
  } catch (const std::exception& e) {  // out of memory or an image write out of range
    return {std::string("export failed: ") + e.what(), {}};
  }
}

}  // namespace kr::packaging
