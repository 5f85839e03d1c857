#include "base/text_codec.h"

#include "base/utf8.h"

namespace kr {

namespace {

// Windows-1252 code points for bytes 0x80..0x9F (0 marks an unused byte,
// which we keep as the C1 control of the same number).
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

using utf8::kReplacement;

void AppendUtf8(std::string& out, char32_t cp) { utf8::Append(out, cp); }

}  // namespace

std::string Windows1252ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::uint8_t b : bytes) {
    char32_t cp = b;
    if (b >= 0x80 && b < 0xA0 && kHighControls[b - 0x80] != 0) cp = kHighControls[b - 0x80];
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) { return static_cast<char32_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) {
      char32_t low = unit(i + 1);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u < 0xE000) ? kReplacement : u);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  utf8::ForEachUtf16Unit(text, [&](std::uint16_t unit) { out += static_cast<char16_t>(unit); });
  return out;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace kr
