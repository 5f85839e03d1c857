#include "registry/file_types.h"

#include <algorithm>
#include <cctype>

namespace kr {

FileTypeTable::FileTypeTable()
    : rows_{{{"default", "*", {}},
             {"Wave Files", "wav", {}},
             {"Kestrune Files", "kr1", {}},
             {"MIDI Files", "mid", {}},
             {"SoundFont Files", "sf2", {}},
             {"Plugin", "dll", {}},
             {"VST Bank", "fxb", {}},
             {"VST Inst", "fxp", {}},
             {"Image Files", "bmp", {}},
             {"Image Files", "png", {}},
             {"Embeddable Files", "*", {}},
             {{}, {}, {}}}} {}

std::string PluginFolderFor(std::string_view pluginPath, char separator) {
  // Either slash ends the folder part, whatever this platform's separator is.
  const std::size_t slash = pluginPath.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  std::string_view fileName = pluginPath.substr(nameStart);
  if (const std::size_t dot = fileName.rfind('.'); dot != std::string_view::npos) fileName = fileName.substr(0, dot);
  std::string folder(pluginPath.substr(0, nameStart));
  folder += fileName;
  folder += separator;
  return folder;
}

void FileTypeTable::SetPluginPath(std::string_view pluginPath, char separator) {
  const std::string folder = PluginFolderFor(pluginPath, separator);
  // Every copy of one plug-in sets the same folders at its start-up; only a
  // change is written, so a second copy never writes what the first reads.
  if (rows_.front().directory == folder) return;
  for (FileTypeRow& row : rows_) row.directory = folder;
}

namespace {
bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}
}  // namespace

const std::string& FileTypeTable::DefaultDirectory(std::string_view extension) const {
  for (const FileTypeRow& row : rows_)
    if (EqualNoCase(row.extension, extension)) return row.directory;
  return rows_.front().directory;
}

}  // namespace kr
