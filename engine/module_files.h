// How modules reach the files a patch names (samples, SoundFonts, MIDI
// files) without knowing the application: the application implements it
// and the sound engine hands it to the audio master's host link. Called on
// the GUI thread only (module Open and Close while the engine is stopped).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/read_stream.h"

namespace kr {

class ModuleFiles {
 public:
  virtual ~ModuleFiles() = default;
  // The named file from the plug-in's folder for its extension, else the
  // document's embedded file of the same file name; null when neither.
  virtual std::unique_ptr<ReadStream> OpenForReading(std::string_view name, std::string_view defaultExtension) = 0;
  // Where a module may write the named file: inside the plug-in's folder
  // for the extension (created when missing). Empty when the name would
  // lead out of it (a folder part, "..", a drive or an absolute path).
  virtual std::string PathForWriting(std::string_view name, std::string_view defaultExtension) = 0;
};

// A file read whole through ModuleFiles.
struct WholeModuleFile {
  std::shared_ptr<const std::vector<std::uint8_t>> bytes;  // null when not read
  std::string path;      // the resolved path (or the name when nothing was found)
  bool tooLarge = false;  // larger than the limit: not read
};
WholeModuleFile ReadWholeModuleFile(ModuleFiles& files, std::string_view name, std::string_view defaultExtension,
                                    std::uint64_t maxBytes);

}  // namespace kr
