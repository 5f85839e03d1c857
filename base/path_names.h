// Pieces of file paths as the plug-in names them. Both '\' and '/' count as
// folder separators, so names written on Windows work on Linux too.
#pragma once

#include <string>
#include <string_view>

namespace kr {

bool IsFolderSeparator(char c);

// The part after the last folder separator ("C:\x\Synth.dll" -> "Synth.dll").
std::string_view FileNamePart(std::string_view path);

// The folder part including its final separator ("C:\x\Synth.dll" -> "C:\x\").
std::string_view FolderPart(std::string_view path);

// The file name without folder and extension ("C:\x\Synth.dll" -> "Synth").
std::string_view FileStem(std::string_view path);

// The characters after the last dot, lower-cased; empty when there is no dot
// or a folder separator follows the last dot ("a.b\loop" has none).
std::string ExtensionLowerCase(std::string_view name);

// The path with the extension of its file-name part replaced ("x/Synth.so",
// ".dat" -> "x/Synth.dat"); appended when the file name has none.
std::string ReplaceExtension(std::string_view path, std::string_view newExtensionWithDot);

std::string ToLowerAscii(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kr
