#include "formats/wave/wave_writer.h"

#include <cstring>

namespace kr::wave {

std::array<std::uint8_t, kHeaderBytes> MakeHeader(bool isFloat, int channels, std::uint32_t sampleRate,
                                                  std::uint32_t dataBytes) {
  std::array<std::uint8_t, kHeaderBytes> h{};
  std::size_t at = 0;
  const auto text = [&](const char* s) {
    std::memcpy(h.data() + at, s, 4);
    at += 4;
  };
  const auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at++] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  const auto u16 = [&](std::uint32_t v) {
    h[at++] = static_cast<std::uint8_t>(v);
    h[at++] = static_cast<std::uint8_t>(v >> 8);
  };
  const std::uint32_t bits = isFloat ? 32 : 16;
  const auto ch = static_cast<std::uint32_t>(channels);
  text("RIFF");
  u32(dataBytes + 36);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(isFloat ? 3 : 1);
  u16(ch);
  u32(sampleRate);
  u32(ch * bits * sampleRate / 8);
  u16(ch * (bits / 8));
  u16(bits);
  text("data");
  u32(dataBytes);
  return h;
}

}  // namespace kr::wave
