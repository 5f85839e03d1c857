#include "document/imbedded_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "platform/platform.h"

namespace kr {

namespace {
// Texts are UTF-8; on Windows a narrow path would be read as ANSI.
std::filesystem::path Utf8Path(const std::string& text) { return std::filesystem::path(std::u8string(text.begin(), text.end())); }
}  // namespace

const RuntimeClass imbedded_file::kClass{"imbedded_file", 1, false, nullptr, &MakePlain<imbedded_file>};

void imbedded_file::Load(ArchiveReader& ar) {
  name_ = ar.ReadText();
  content_ = ar.ReadSizedBytes();
}

void imbedded_file::Store(ArchiveWriter& ar) const {
  ar.WriteText(name_);
  ar.WriteSizedBytes(content_);
}

std::string imbedded_file::WriteToDirectory(const std::string& directory, std::int64_t notBefore) const {
  // A stored name must not climb out of the target directory.
  if (name_.empty() || name_ == "." || name_ == ".." || name_.find_first_of("/\\:") != std::string::npos) return {};
  const std::string target = directory + name_;
  const std::optional<std::int64_t> existing = platform::FileLastWriteTime(target);
  if (existing && *existing >= notBefore) return target;
  std::ofstream out(Utf8Path(target), std::ios::binary | std::ios::trunc);
  if (!out) return {};
  out.write(reinterpret_cast<const char*>(content_.data()), static_cast<std::streamsize>(content_.size()));
  return out ? target : std::string();
}

std::unique_ptr<imbedded_file> imbedded_file::FromDisk(const std::string& path) {
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (!in) {
    platform::ShowMessageBox({"Can't find/open imbeded file: " + path, "Kestrune", platform::MessageIcon::Warning});
    return nullptr;
  }
  std::vector<std::uint8_t> content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string name = path;
  if (const auto cut = name.find_last_of("/\\"); cut != std::string::npos) name = name.substr(cut + 1);
  return std::make_unique<imbedded_file>(std::move(name), std::move(content));
}

}  // namespace kr
