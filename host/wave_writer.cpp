#include "host/wave_writer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cmath>
#include <bit>
#include <limits>

namespace kr {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

#if defined(__SSE2__)
// 16-bit PCM of n samples (n a multiple of 4), four at a time, exactly as
// the one-sample path: clipped to full scale (NaN as 0, counted), scaled in
// double and rounded to even. Returns the samples clipped.
std::int64_t ConvertPcm16(const float* in, int n, std::uint8_t* p, std::size_t stride) {
  const __m128 low = _mm_set1_ps(-1.0f), high = _mm_set1_ps(1.0f);
  const __m128d scale = _mm_set1_pd(32767.0);
  std::int64_t clipped = 0;
  for (int i = 0; i < n; i += 4) {
    __m128 v = _mm_loadu_ps(in + i);
    const __m128 inRange = _mm_and_ps(_mm_cmpge_ps(v, low), _mm_cmple_ps(v, high));
    // Lanes out of range, counted by table: no popcount instruction is assumed.
    constexpr int kBits[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
    clipped += kBits[~_mm_movemask_ps(inRange) & 0xF];
    v = _mm_and_ps(v, _mm_cmpord_ps(v, v));
    v = _mm_min_ps(_mm_max_ps(v, low), high);
    const __m128i a = _mm_cvtpd_epi32(_mm_mul_pd(_mm_cvtps_pd(v), scale));
    const __m128i b = _mm_cvtpd_epi32(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(v, v)), scale));
    alignas(16) std::int32_t samples[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(samples), _mm_unpacklo_epi64(a, b));
    for (int k = 0; k < 4; ++k, p += stride) {
      p[0] = static_cast<std::uint8_t>(samples[k]);
      p[1] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(samples[k]) >> 8);
    }
  }
  return clipped;
}
#endif

}  // namespace

namespace {

// Rounds to the nearest integer, ties to even, as lrint does in the default
// rounding mode; one instruction on x86 instead of a library call.
std::int32_t RoundToInt(double v) {
#if defined(__SSE2__)
  return _mm_cvtsd_si32(_mm_set_sd(v));
#else
  return static_cast<std::int32_t>(std::lrint(v));
#endif
}

}  // namespace

WaveWriter::WaveWriter(std::ostream& out, WaveFormat format, int channels, int sampleRate)
    : out_(out), format_(format), channels_(channels > 0 ? channels : 1), sampleRate_(sampleRate) {
  WriteHeader();
}

int WaveWriter::BytesPerSample(WaveFormat format) {
  return format == WaveFormat::Pcm16 ? 2 : format == WaveFormat::Pcm24 ? 3 : 4;
}

std::uint32_t WaveWriter::HeaderBytes() const { return format_ == WaveFormat::Float32 ? 58 : 44; }

void WaveWriter::WriteHeader() {
  const bool isFloat = format_ == WaveFormat::Float32;
  const std::uint32_t bytes = static_cast<std::uint32_t>(BytesPerSample(format_));
  const std::uint32_t blockAlign = bytes * static_cast<std::uint32_t>(channels_);
  // The sizes of a finished file; Finish rewrites the header with them.
  const std::uint32_t data = static_cast<std::uint32_t>(dataBytes_);
  const std::uint32_t pad = data & 1u;
  std::vector<std::uint8_t> h;
  PutTag(h, "RIFF");
  Put(h, HeaderBytes() - 8 + data + pad, 4);
  PutTag(h, "WAVE");
  PutTag(h, "fmt ");
  Put(h, isFloat ? 18 : 16, 4);
  Put(h, isFloat ? kFormatFloat : kFormatPcm, 2);
  Put(h, static_cast<std::uint32_t>(channels_), 2);
  Put(h, static_cast<std::uint32_t>(sampleRate_), 4);
  Put(h, static_cast<std::uint32_t>(sampleRate_) * blockAlign, 4);
  Put(h, blockAlign, 2);
  Put(h, bytes * 8, 2);
  if (isFloat) {
    Put(h, 0, 2);  // no extension bytes
    PutTag(h, "fact");
    Put(h, 4, 4);
    Put(h, static_cast<std::uint32_t>(frames_), 4);
  }
  PutTag(h, "data");
  Put(h, data, 4);
  out_.write(reinterpret_cast<const char*>(h.data()), static_cast<std::streamsize>(h.size()));
}

bool WaveWriter::Write(std::span<const float* const> channels, int frames) {
  if (!error_.empty()) return false;
  if (frames <= 0) return true;
  const std::size_t bytes = static_cast<std::size_t>(BytesPerSample(format_));
  const std::uint64_t blockBytes = static_cast<std::uint64_t>(frames) * bytes * static_cast<std::uint64_t>(channels_);
  // RIFF sizes are 32-bit: the whole file must stay below 4 GiB.
  if (HeaderBytes() + dataBytes_ + blockBytes + 1 > std::numeric_limits<std::uint32_t>::max()) {
    error_ = "the WAVE file would grow beyond 4 GiB";
    return false;
  }
  // Appended to what earlier calls left; written out in large pieces, since
  // a stream write per small host block costs more than the conversion.
  const std::size_t kept = buffer_.size();
  buffer_.resize(kept + static_cast<std::size_t>(blockBytes));
  const double scale = format_ == WaveFormat::Pcm16 ? 32767.0 : 8388607.0;
  const std::size_t stride = bytes * static_cast<std::size_t>(channels_);
  // Channel by channel, so each loop reads one buffer straight through.
  for (int c = 0; c < channels_; ++c) {
    const float* in = static_cast<std::size_t>(c) < channels.size() ? channels[static_cast<std::size_t>(c)] : nullptr;
    std::uint8_t* p = buffer_.data() + kept + static_cast<std::size_t>(c) * bytes;
    int i = 0;
#if defined(__SSE2__)
    if (format_ == WaveFormat::Pcm16 && in != nullptr) {
      i = frames & ~3;
      clipped_ += ConvertPcm16(in, i, p, stride);
      p += stride * static_cast<std::size_t>(i);
    }
#endif
    for (; i < frames; ++i, p += stride) {
      const float x = in != nullptr ? in[i] : 0.0f;
      if (format_ == WaveFormat::Float32) {
        const auto bits = std::bit_cast<std::uint32_t>(x);
        for (int b = 0; b < 4; ++b) p[b] = static_cast<std::uint8_t>(bits >> (8 * b));
        continue;
      }
      double v = x;
      if (!(v >= -1.0 && v <= 1.0)) {  // out of range or not a number
        ++clipped_;
        v = std::isnan(v) ? 0.0 : (v > 0 ? 1.0 : -1.0);
      }
      const auto sample = static_cast<std::uint32_t>(RoundToInt(v * scale));
      for (std::size_t b = 0; b < bytes; ++b) p[b] = static_cast<std::uint8_t>(sample >> (8 * b));
    }
  }
  dataBytes_ += blockBytes;
  frames_ += frames;
  return buffer_.size() < kFlushBytes || Flush();
}

bool WaveWriter::Flush() {
  out_.write(reinterpret_cast<const char*>(buffer_.data()), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  if (!out_) {
    error_ = "writing the WAVE file failed";
    return false;
  }
  return true;
}

bool WaveWriter::Finish() {
  if (!error_.empty() || !Flush()) return false;
  if (dataBytes_ & 1u) out_.put('\0');  // chunks are padded to an even length
  out_.seekp(0);
  WriteHeader();
  out_.flush();
  if (!out_) {
    error_ = "writing the WAVE file failed";
    return false;
  }
  return true;
}

}  // namespace kr
