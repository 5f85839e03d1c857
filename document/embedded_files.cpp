#include "document/embedded_files.h"

#include <optional>

#include "base/memory_read_stream.h"
#include "base/path_names.h"
#include "base/whole_file.h"
#include "platform/platform.h"

namespace kr {

EmbeddedFileKind ClassifyEmbeddedFile(std::string_view name) {
  const std::string extension = ExtensionLowerCase(name);
  if (extension == "mid" || extension == "wav" || extension == "sf2") return EmbeddedFileKind::KeptInMemory;
  return EmbeddedFileKind::ModuleLibrary;
}

namespace {

// The document's name for a library comes from an untrusted file: only its
// file-name part is used, so "..\..\x.dll" or "C:\Windows\x.dll" cannot
// place a file outside the library folder.
std::optional<std::string> SafeFileName(std::string_view name) {
  const std::string_view file = FileNamePart(name);
  if (file.empty() || file == "." || file == ".." || file.find(':') != std::string_view::npos ||
      file.find('\0') != std::string_view::npos)
    return std::nullopt;
  return std::string(file);
}

std::string WithoutFinalSeparator(std::string folder) {
  while (folder.size() > 1 && IsFolderSeparator(folder.back())) folder.pop_back();
  return folder;
}

class LibraryWriter {
 public:
  LibraryWriter(const EmbeddedFileSetup& setup, EmbeddedFilesOutcome& outcome) : setup_(setup), outcome_(outcome) {}

  void Place(const EmbeddedFileRecord& file) {
    const auto fileName = SafeFileName(file.name);
    if (!fileName) {
      outcome_.refused.emplace_back(file.name);
      return;
    }
    PrepareOnFirstUse();
    const std::string path = directory_ + *fileName;
    const auto copyTime = platform::FileLastWriteTime(path);
    const bool stale = !copyTime || (pluginTime_ && *copyTime < *pluginTime_);
    if (stale) {
      if (WriteWholeFile(path, file.bytes))
        outcome_.written.push_back(path);
      else if (!copyTime) {
        outcome_.refused.emplace_back(file.name);
        return;  // nothing on disk to register
      }
      // An older copy that could not be replaced (in use, say) still works.
    }
    if (setup_.registerLibrary) setup_.registerLibrary(path);
    outcome_.registered.push_back(path);
  }

 private:
  void PrepareOnFirstUse() {
    if (prepared_) return;
    prepared_ = true;
    directory_ = setup_.directoryFor ? setup_.directoryFor("dll") : std::string(FolderPart(setup_.pluginPath));
    if (!directory_.empty() && !IsFolderSeparator(directory_.back())) directory_ += platform::PathSeparator();
    if (!directory_.empty()) platform::CreateDirectory(WithoutFinalSeparator(directory_));
    pluginTime_ = platform::FileLastWriteTime(setup_.pluginPath);
  }

  const EmbeddedFileSetup& setup_;
  EmbeddedFilesOutcome& outcome_;
  bool prepared_ = false;
  std::string directory_;
  std::optional<std::int64_t> pluginTime_;
};

}  // namespace

EmbeddedFilesOutcome EmbeddedFiles::Accept(std::span<const EmbeddedFileRecord> files, const EmbeddedFileSetup& setup) {
  EmbeddedFilesOutcome outcome;
  if (!kept_.empty()) return outcome;
  outcome.accepted = true;
  LibraryWriter libraries(setup, outcome);
  for (const EmbeddedFileRecord& file : files) {
    if (ClassifyEmbeddedFile(file.name) == EmbeddedFileKind::ModuleLibrary) {
      libraries.Place(file);
    } else {
      kept_.push_back({std::string(file.name),
                       std::make_shared<const std::vector<std::uint8_t>>(file.bytes.begin(), file.bytes.end())});
    }
  }
  return outcome;
}

std::unique_ptr<ReadStream> EmbeddedFiles::OpenByFileName(std::string_view fileName, std::string streamPath) const {
  const std::string_view wanted = FileNamePart(fileName);
  for (const KeptFile& file : kept_) {
    if (EqualsIgnoringCase(FileNamePart(file.name), wanted))
      return std::make_unique<MemoryReadStream>(std::move(streamPath), file.bytes);
  }
  return nullptr;
}

}  // namespace kr
