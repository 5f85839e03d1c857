// The files a document carries. Module libraries are written beside the
// plug-in and registered; samples, MIDI files and SoundFonts stay in memory
// and are served to modules that open them by name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/read_stream.h"
#include "document/file_directories.h"

namespace kr {

// One file as the document hands it over.
struct EmbeddedFileRecord {
  std::string_view name;
  std::span<const std::uint8_t> bytes;
};

enum class EmbeddedFileKind { ModuleLibrary, KeptInMemory };

// Sixteen hex digits naming these bytes (64-bit FNV-1a).
std::string ContentHashName(std::span<const std::uint8_t> bytes);

// "mid", "wav" and "sf2" (compared lower-cased) stay in memory; every other
// extension, none included, is a module library.
EmbeddedFileKind ClassifyEmbeddedFile(std::string_view name);

struct EmbeddedFileSetup {
  std::string pluginPath;             // its last-write time decides which copies are stale
  DirectoryForExtension directoryFor;  // asked for "dll" to place module libraries
  // Where libraries go when the folder beside the plug-in cannot take them
  // (a per-user cache): each in a subfolder named after a hash of its bytes,
  // so plug-in copies carrying different libraries of one name never replace
  // each other's file. Empty: no such fallback.
  std::string cacheFolder;
  std::function<void(const std::string& libraryPath)> registerLibrary;
};

// What one hand-over did, for the caller to report or test.
struct EmbeddedFilesOutcome {
  bool accepted = false;                // false: a list from an earlier load was kept
  std::vector<std::string> written;     // library paths written out
  std::vector<std::string> registered;  // library paths handed to registerLibrary
  std::vector<std::string> refused;     // names that could not be placed on disk
};

class EmbeddedFiles {
 public:
  // Takes a document's list. Discarded as a whole when files from an earlier
  // load are still held.
  EmbeddedFilesOutcome Accept(std::span<const EmbeddedFileRecord> files, const EmbeddedFileSetup& setup);

  std::size_t Count() const { return kept_.size(); }
  bool Empty() const { return kept_.empty(); }
  void Clear() { kept_.clear(); }

  // A read-only stream over the first kept file whose file-name part equals
  // that of fileName without regard to case; null when there is none. The
  // stream reports streamPath as its path.
  std::unique_ptr<ReadStream> OpenByFileName(std::string_view fileName, std::string streamPath) const;

 private:
  struct KeptFile {
    std::string name;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
  };
  std::vector<KeptFile> kept_;
};

}  // namespace kr
