// A file stored inside a document (samples, skins, module libraries).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/archive/runtime_class.h"

namespace kr {

class imbedded_file : public CObject {
 public:
  static const RuntimeClass kClass;
  imbedded_file() = default;
  imbedded_file(std::string name, std::vector<std::uint8_t> content)
      : name_(std::move(name)), content_(std::move(content)) {}

  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  const std::string& Name() const { return name_; }
  std::int32_t Size() const { return static_cast<std::int32_t>(content_.size()); }
  const std::vector<std::uint8_t>& Content() const { return content_; }

  // Writes the content to directory + name when that file is missing or
  // older than notBefore (seconds since 1970). Returns the target path, or
  // an empty text when it cannot be written.
  std::string WriteToDirectory(const std::string& directory, std::int64_t notBefore) const;

  // Reads a file from disk to store it in a document; shows
  // "Can't find/open imbeded file: <path>" and answers null when it can't.
  static std::unique_ptr<imbedded_file> FromDisk(const std::string& path);

 private:
  std::string name_;
  std::vector<std::uint8_t> content_;
};

}  // namespace kr
