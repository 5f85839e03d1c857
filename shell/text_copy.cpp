#include "shell/text_copy.h"

#include <cstring>

#include "platform/platform.h"

namespace kr {

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The end of the first `count` characters of a UTF-8 text (bytes that are no
// character's start count with the character before them).
std::size_t EndOfCharacters(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t seen = 0; end < text.size() && seen < count; ++seen) {
    ++end;
    while (end < text.size() && IsContinuationByte(text[end])) ++end;
  }
  return end;
}

// The end of the text less its last character.
std::size_t EndWithoutLastCharacter(std::string_view text, std::size_t end) {
  if (end == 0) return 0;
  --end;
  while (end > 0 && IsContinuationByte(text[end])) --end;
  return end;
}

}  // namespace

void CopyCut(char* dest, std::string_view text, std::size_t maxBytes) {
  if (dest == nullptr) return;
  // Every character takes at least one byte in any encoding: no more than
  // maxBytes characters can fit.
  std::size_t end = EndOfCharacters(text, maxBytes);
  std::string host = platform::Utf8ToHostText(text.substr(0, end));
  while (host.size() > maxBytes && end > 0) {
    end = EndWithoutLastCharacter(text, end);
    host = platform::Utf8ToHostText(text.substr(0, end));
  }
  if (!host.empty()) std::memcpy(dest, host.data(), host.size());
  dest[host.size()] = '\0';
}

std::string_view HostText(const void* text, std::size_t maxBytes) {
  if (text == nullptr) return {};
  const char* chars = static_cast<const char*>(text);
  const void* end = std::memchr(chars, '\0', maxBytes);
  return {chars, end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - chars) : maxBytes};
}

std::string HostTextAsUtf8(const void* text, std::size_t maxBytes) {
  return platform::HostTextToUtf8(HostText(text, maxBytes));
}

}  // namespace kr
