// A whole stored document: the header settings, the embedded files and skins,
// and the root container. Reading and writing the archive of one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/container.h"
#include "document/document_version.h"
#include "document/imbedded_file.h"
#include "formats/skin/skin_records.h"

namespace kr {

struct DocumentHeaderSettings {
  std::string documentText;         // skipped in a restricted load
  bool booleanSetting = false;      // version 9 on; skipped in a restricted load
  bool privateCopy = false;         // version 45 on; skipped in a restricted load
  std::string uniqueId;             // four characters, version 56 on
  std::string fullLoadText;         // version 62 on; kept only in a full load
  std::int32_t unusedNumber = 0;    // version 58 on, with the about text
  std::string aboutText;            // version 58 on
  bool monoCapable = true;          // version 64 on
  std::int32_t panelWidth = 0;      // version 57 on
  std::int32_t panelHeight = 0;
  std::int32_t pluginFlags = 0;     // version 69 on; bit 0: an instrument
  std::int32_t programCount = 16;   // version 69 on
  std::string vendor;               // version 71 on
  std::string vendorExtra;          // version 86 on; kept only in a full load
  std::string product;              // version 69 on; kept only in a full load
  bool operator==(const DocumentHeaderSettings&) const = default;
};

struct StoredDocument {
  DocumentHeaderSettings settings;
  std::vector<std::unique_ptr<imbedded_file>> embeddedFiles;
  std::vector<std::unique_ptr<SkinInfo>> skins;
  std::unique_ptr<CContainer> root;
};

enum class LoadMode { Restricted, Full };

struct DocumentLoadResult {
  std::unique_ptr<StoredDocument> document;  // null on failure
  std::int32_t version = 0;                  // as stored
  std::string error;                         // why it failed
};

// Reads a document. A newer version than this program's shows
// "Load Cancelled.  File created by a newer version of Kestrune (V957.11). ..."
// in an information box; any archive fault ends the load with no tree.
// GUI thread only: one load at a time, since the document version is
// process-wide while it runs.
// onFiles, when given, is told the embedded files as soon as the header is
// read, before the root container: a module library the document carries
// must be in place before the modules that come from it are read.
using EmbeddedFilesSeen = std::function<void(std::span<const std::unique_ptr<imbedded_file>> files)>;
DocumentLoadResult ReadDocument(std::span<const std::uint8_t> bytes, LoadMode mode,
                                const EmbeddedFilesSeen& onFiles = {});

// Writes a document at the given version (the fields that version stores).
std::vector<std::uint8_t> WriteDocument(const StoredDocument& document, int version = kCurrentDocumentVersion);

// The steps after the root container is read; also run on built trees.
void FinishTree(CContainer& root);

}  // namespace kr
