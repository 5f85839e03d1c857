#include "document/embedded_files.h"

#include <algorithm>
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

std::string ContentHashName(std::span<const std::uint8_t> bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const std::uint8_t byte : bytes) {
    hash ^= byte;
    hash *= 1099511628211ull;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) name[static_cast<std::size_t>(i)] = kDigits[hash & 0xF];
  return name;
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
    std::string placed = path;
    if (stale) {
      if (WriteWholeFile(path, file.bytes)) {
        outcome_.written.push_back(path);
      } else if (auto cached = PlaceInCache(*fileName, file.bytes)) {
        placed = std::move(*cached);
      } else if (!copyTime) {
        outcome_.refused.emplace_back(file.name);
        return;  // nothing on disk to register
      }
      // Else an older copy that could not be replaced (in use, say) still works.
    }
    if (setup_.registerLibrary) setup_.registerLibrary(placed);
    outcome_.registered.push_back(placed);
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

  // The cache copy of these bytes, written unless the same bytes are there.
  std::optional<std::string> PlaceInCache(const std::string& fileName, std::span<const std::uint8_t> bytes) {
    if (setup_.cacheFolder.empty()) return std::nullopt;
    const char sep = platform::PathSeparator();
    std::string folder = WithoutFinalSeparator(setup_.cacheFolder);
    // The folders above it may not exist yet: make each in turn.
    for (std::size_t cut = folder.find_first_of("/\\", 1); cut != std::string::npos;
         cut = folder.find_first_of("/\\", cut + 1))
      platform::CreateDirectory(folder.substr(0, cut));
    if (!platform::CreateDirectory(folder)) return std::nullopt;
    folder += sep;
    folder += ContentHashName(bytes);
    if (!platform::CreateDirectory(folder)) return std::nullopt;
    std::string path = folder + sep + fileName;
    const auto present = ReadWholeFile(path);
    const bool same = present && std::equal(present->begin(), present->end(), bytes.begin(), bytes.end());
    if (!same) {
      if (!WriteWholeFile(path, bytes)) return std::nullopt;
      outcome_.written.push_back(path);
    }
    return path;
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
