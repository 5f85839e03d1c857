#include "formats/wave/wave_reader.h"

#include <array>

#include "formats/riff/riff_reader.h"

namespace kr::wave {

namespace {

using riff::MakeFourCC;
using riff::U16;
using riff::U32;

constexpr riff::FourCC kWave = MakeFourCC("WAVE");
constexpr std::array<riff::ChunkRow, 3> kRows{{
    {"Format", kWave, MakeFourCC("fmt "), 1},
    {"Data", kWave, MakeFourCC("data"), 1},
    {"LoopInfo", kWave, MakeFourCC("smpl"), 1},
}};

WaveReadResult Refuse(const char* message, std::string detail) {
  WaveReadResult r;
  r.message = message;
  r.detail = std::move(detail);
  return r;
}

}  // namespace

WaveReadResult ReadWave(std::span<const std::uint8_t> bytes) {
  const riff::RiffResult walk = riff::ReadRiff(bytes, kRows);
  if (!walk.ok) return Refuse(kInvalidMessage, walk.error);
  if (walk.formType != kWave) return Refuse(kInvalidMessage, "the RIFF form is not \"WAVE\"");
  const riff::FoundChunk& fmt = walk.chunks[0];
  const riff::FoundChunk& data = walk.chunks[1];
  const riff::FoundChunk& smpl = walk.chunks[2];
  if (!fmt.found) return Refuse(kInvalidMessage, "no \"fmt \" chunk");
  if (fmt.size < 16) return Refuse(kInvalidMessage, "the \"fmt \" chunk is shorter than 16 bytes");
  const auto f = bytes.subspan(fmt.offset, fmt.size);

  WaveInfo info;
  std::uint16_t tag = U16(f, 0);
  info.channels = U16(f, 2);
  info.sampleRate = U32(f, 4);
  info.bits = U16(f, 14);
  if (tag == kFormatExtensible) {
    // The sub-format GUID's first two bytes hold the ordinary tag.
    if (fmt.size < 40) return Refuse(kInvalidMessage, "the extensible \"fmt \" chunk is shorter than 40 bytes");
    tag = U16(f, 24);
  }
  if (info.channels == 0) return Refuse(kInvalidMessage, "the file declares no channels");
  if (info.channels > 2) return Refuse(kMultichannelMessage, std::to_string(info.channels) + " channels");
  if (tag == kFormatPcm) {
    if (info.bits != 8 && info.bits != 16) return Refuse(kWidthMessage, std::to_string(info.bits) + "-bit PCM");
  } else if (tag == kFormatFloat) {
    // Floats of another width are no PCM of any width this reader has.
    if (info.bits != 32) return Refuse(kWidthMessage, std::to_string(info.bits) + "-bit float");
  } else {
    return Refuse(kTagMessage, "format tag " + std::to_string(tag));
  }
  if (info.sampleRate == 0) return Refuse(kInvalidMessage, "the sample rate is 0");
  info.formatTag = tag;
  if (!data.found || data.size < info.FrameBytes()) return Refuse(kInvalidMessage, "no samples in a \"data\" chunk");
  info.dataOffset = data.offset;
  info.frames = data.size / info.FrameBytes();

  if (smpl.found) {
    if (smpl.size < 36) return Refuse(kInvalidMessage, "the \"smpl\" chunk is shorter than 36 bytes");
    const auto s = bytes.subspan(smpl.offset, smpl.size);
    const std::uint32_t loops = U32(s, 28);
    if (loops > 0) {
      if (smpl.size < 60) return Refuse(kInvalidMessage, "the \"smpl\" chunk is too short for its first loop");
      const std::uint32_t start = U32(s, 44);
      const std::uint32_t last = U32(s, 48);
      // Negative (as the file's signed reading), reversed or outside the
      // data: no loop.
      if (start <= 0x7FFFFFFFu && last <= 0x7FFFFFFFu && start <= last && last < info.frames) {
        info.hasLoop = true;
        info.loopStart = start;
        info.loopEnd = static_cast<std::size_t>(last) + 1;
      }
    }
  }
  WaveReadResult result;
  result.info = info;
  return result;
}

}  // namespace kr::wave
