#include "engine/msg_text.h"

#include <cstdint>

#include "engine/msg_stream.h"

namespace {

constexpr std::int32_t kMaxUnits = 10000;  // no message is longer than the larger ring

// Calls fn with each UTF-16 unit of a UTF-8 text; bad bytes become U+FFFD.
template <class Fn>
void ForEachUnit(std::string_view text, Fn&& fn) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::uint32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else if ((b >> 5) == 0x6 || (b >> 4) == 0xE || (b >> 3) == 0x1E) {
      len = (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : 4;
      cp = b & (0x7F >> len);
      bool ok = i + len <= text.size();
      for (std::size_t k = 1; ok && k < len; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        ok = (c >> 6) == 0x2;
        cp = (cp << 6) | (c & 0x3F);
      }
      if (!ok || cp > 0x10FFFF) {
        cp = 0xFFFD;
        len = 1;
      }
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      fn(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
      fn(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      fn(static_cast<std::uint16_t>(cp));
    }
  }
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
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

std::uint16_t ReadUnit(my_input_stream& in) {
  std::uint8_t lo = 0;
  std::uint8_t hi = 0;
  in >> lo >> hi;
  return static_cast<std::uint16_t>(lo | (hi << 8));
}

}  // namespace

void WriteMsgText(my_output_stream& out, std::string_view utf8) {
  std::int32_t units = 1;
  ForEachUnit(utf8, [&](std::uint16_t) { ++units; });
  out << units;
  const auto put = [&](std::uint16_t u) {
    out << static_cast<std::uint8_t>(u & 0xFF) << static_cast<std::uint8_t>(u >> 8);
  };
  ForEachUnit(utf8, put);
  put(0);
}

std::string ReadMsgText(my_input_stream& in) {
  std::int32_t units = 0;
  in >> units;
  if (units < 0) units = 0;
  if (units > kMaxUnits) units = kMaxUnits;
  std::string text;
  bool ended = false;
  for (std::int32_t i = 0; i < units; ++i) {
    std::uint32_t u = ReadUnit(in);
    if (ended) continue;  // the rest of the counted body is consumed unread
    if (u == 0) {
      ended = true;
      continue;
    }
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      const std::uint32_t low = ReadUnit(in);
      ++i;
      if (low >= 0xDC00 && low < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
      } else {
        AppendUtf8(text, 0xFFFD);
        if (low == 0) {
          ended = true;
          continue;
        }
        u = low;
      }
    }
    AppendUtf8(text, u);
  }
  return text;
}
