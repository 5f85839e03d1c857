#include "base/path_names.h"

#include <algorithm>

namespace kr {

namespace {
std::size_t AfterLastSeparator(std::string_view path) {
  const std::size_t at = path.find_last_of("\\/");
  return at == std::string_view::npos ? 0 : at + 1;
}
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool IsFolderSeparator(char c) { return c == '\\' || c == '/'; }

std::string_view FileNamePart(std::string_view path) { return path.substr(AfterLastSeparator(path)); }

std::string_view FolderPart(std::string_view path) { return path.substr(0, AfterLastSeparator(path)); }

std::string_view FileStem(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string ExtensionLowerCase(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::string_view after = name.substr(dot + 1);
  if (std::any_of(after.begin(), after.end(), IsFolderSeparator)) return {};
  return ToLowerAscii(after);
}

std::string ReplaceExtension(std::string_view path, std::string_view newExtensionWithDot) {
  const std::size_t nameStart = AfterLastSeparator(path);
  const std::size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && dot >= nameStart;
  std::string result(hasExtension ? path.substr(0, dot) : path);
  result += newExtensionWithDot;
  return result;
}

std::string ToLowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
  return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace kr
