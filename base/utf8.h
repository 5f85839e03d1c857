// UTF-8 <-> UTF-16 helpers shared by the document texts and the message
// texts. Header-only and allocation-free apart from the caller's string, so
// the audio thread may use them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kr {

namespace utf8 {

constexpr char32_t kReplacement = 0xFFFD;

inline void Append(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Calls fn with each UTF-16 unit of a UTF-8 text. A byte that does not start
// a well-formed sequence (or encodes a surrogate or a value past U+10FFFF)
// becomes U+FFFD and decoding resumes at the next byte.
template <class Fn>
void ForEachUtf16Unit(std::string_view text, Fn&& fn) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
    char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
      fn(static_cast<std::uint16_t>(kReplacement));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      fn(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
      fn(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      fn(static_cast<std::uint16_t>(cp));
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
}

// The code point at text[i], moving i past it; a byte that does not start a
// well-formed sequence gives U+FFFD and moves one byte.
inline char32_t Next(std::string_view text, std::size_t& i) {
  const auto b = static_cast<unsigned char>(text[i]);
  const int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
  char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
  bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
  for (int k = 1; ok && k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
    if ((c & 0xC0) != 0x80) ok = false;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
    ++i;
    return kReplacement;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

}  // namespace utf8

}  // namespace kr
