#include "engine/msg_text.h"

#include <cstdint>

#include "base/utf8.h"
#include "engine/msg_stream.h"

namespace kr {

namespace {

constexpr std::int32_t kMaxUnits = 10000;  // no message is longer than the larger ring

void AppendUtf8(std::string& out, std::uint32_t cp) { utf8::Append(out, cp); }

std::uint16_t ReadUnit(my_input_stream& in) {
  std::uint8_t lo = 0;
  std::uint8_t hi = 0;
  in >> lo >> hi;
  return static_cast<std::uint16_t>(lo | (hi << 8));
}

}  // namespace

void WriteMsgText(my_output_stream& out, std::string_view utf8) {
  std::int32_t units = 1;
  utf8::ForEachUtf16Unit(utf8, [&](std::uint16_t) { ++units; });
  out << units;
  const auto put = [&](std::uint16_t u) {
    out << static_cast<std::uint8_t>(u & 0xFF) << static_cast<std::uint8_t>(u >> 8);
  };
  utf8::ForEachUtf16Unit(utf8, put);
  put(0);
}

std::string ReadMsgText(my_input_stream& in) {
  std::string text;
  ReadMsgText(in, text);
  return text;
}

void ReadMsgText(my_input_stream& in, std::string& text) {
  std::int32_t units = 0;
  in >> units;
  if (units < 0) units = 0;
  if (units > kMaxUnits) units = kMaxUnits;
  text.clear();
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
}

}  // namespace kr
