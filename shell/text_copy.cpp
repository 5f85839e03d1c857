#include "shell/text_copy.h"

#include <cstring>

void CopyCut(char* dest, std::string_view text, std::size_t maxChars) {
  if (dest == nullptr) return;
  const std::size_t n = text.size() < maxChars ? text.size() : maxChars;
  if (n > 0) std::memcpy(dest, text.data(), n);
  dest[n] = '\0';
}

std::string_view HostText(const void* text, std::size_t maxBytes) {
  if (text == nullptr) return {};
  const char* chars = static_cast<const char*>(text);
  const void* end = std::memchr(chars, '\0', maxBytes);
  return {chars, end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - chars) : maxBytes};
}
