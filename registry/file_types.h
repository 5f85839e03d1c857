// The file kinds the plug-in knows, each with the folder its files default
// to: a folder named after the plug-in, beside the plug-in file.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kr {

struct FileTypeRow {
  std::string description;
  std::string extension;
  std::string directory;
};

class FileTypeTable {
 public:
  static constexpr int kRowCount = 12;

  // Rows in their fixed order, directories empty.
  FileTypeTable();

  // Sets every row's directory from the plug-in file's path.
  void SetPluginPath(std::string_view pluginPath, char separator);
  // The directory of the row whose extension matches (any case); the first
  // row's when none does.
  const std::string& DefaultDirectory(std::string_view extension) const;

  const std::array<FileTypeRow, kRowCount>& Rows() const { return rows_; }

 private:
  std::array<FileTypeRow, kRowCount> rows_;
};

// "C:\x\Synth.dll" -> "C:\x\Synth\": the folder, the file name without its
// extension, then the separator.
std::string PluginFolderFor(std::string_view pluginPath, char separator);

}  // namespace kr
