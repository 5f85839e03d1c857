#include "formats/skin/png_codec.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace kr::skin {

namespace {

struct MemoryInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
  if (in->size - in->pos < length) png_error(png, "PNG data ends early");
  std::memcpy(out, in->data + in->pos, length);
  in->pos += length;
}

// libpng's complaints go nowhere: a broken image just has no pixels.
void Quiet(png_structp, png_const_charp) {}
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Everything that libpng may leave through longjmp lives in plain storage
// set up before the jump point, so no destructor is skipped.
struct ReadJob {
  MemoryInput input{};
  png_structp png = nullptr;
  png_infop info = nullptr;
  png_uint_32 width = 0, height = 0;
  int channels = 0;
  std::vector<std::uint8_t>* buffer = nullptr;
  std::vector<png_bytep>* rows = nullptr;
};

bool RunRead(ReadJob& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_set_read_fn(job.png, &job.input, &ReadFromMemory);
  png_set_user_limits(job.png, kMaxImageSide, kMaxImageSide);
  png_set_chunk_malloc_max(job.png, 8u << 20);
  png_read_info(job.png, job.info);
  int bitDepth = 0, colourType = 0;
  png_get_IHDR(job.png, job.info, &job.width, &job.height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  if (!AcceptableSize(job.width, job.height)) return false;
  png_set_strip_16(job.png);
  png_set_packing(job.png);
  png_set_expand(job.png);
  png_set_interlace_handling(job.png);
  png_read_update_info(job.png, job.info);
  job.channels = png_get_channels(job.png, job.info);
  if (job.channels < 1 || job.channels > 4 || png_get_bit_depth(job.png, job.info) != 8) return false;
  const std::size_t stride = static_cast<std::size_t>(job.width) * static_cast<std::size_t>(job.channels);
  if (png_get_rowbytes(job.png, job.info) != stride) return false;
  job.buffer->resize(stride * job.height);
  job.rows->resize(job.height);
  for (png_uint_32 y = 0; y < job.height; ++y) (*job.rows)[y] = job.buffer->data() + stride * y;
  png_read_image(job.png, job.rows->data());
  png_read_end(job.png, nullptr);
  return true;
}

}  // namespace

std::optional<SkinPixels> DecodePng(std::span<const std::uint8_t> bytes, PixelMode mode) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return std::nullopt;
  std::vector<std::uint8_t> buffer;
  std::vector<png_bytep> rows;
  ReadJob job;
  job.input = {bytes.data(), bytes.size(), 0};
  job.buffer = &buffer;
  job.rows = &rows;
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &Fail, &Quiet);
  if (!job.png) return std::nullopt;
  job.info = png_create_info_struct(job.png);
  const bool ok = job.info && RunRead(job);
  png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
  if (!ok) return std::nullopt;

  SkinPixels out;
  out.width = static_cast<int>(job.width);
  out.height = static_cast<int>(job.height);
  out.mode = mode;
  const std::size_t count = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
  const int c = job.channels;
  if (mode == PixelMode::Coverage) {
    // Which byte carries the coverage: grey, blue for RGB, green for RGBA.
    const int pick = c == 3 ? 2 : c == 4 ? 1 : 0;
    out.coverage.resize(count);
    for (std::size_t i = 0; i < count; ++i) out.coverage[i] = buffer[i * c + pick];
    return out;
  }
  out.colour.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = &buffer[i * c];
    std::uint32_t r, g, b, t = 0;
    if (c <= 2) {
      r = g = b = p[0];
      if (c == 2) t = 255u - p[1];
    } else {
      r = p[0];
      g = p[1];
      b = p[2];
      if (c == 4) t = 255u - p[3];
    }
    out.colour[i] = (t << 24) | (r << 16) | (g << 8) | b;
  }
  return out;
}

// --- writing -------------------------------------------------------------------

struct PngWriter::State {
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<std::uint8_t> out;
  int rowsLeft = 0;
  bool failed = false;
};

namespace {

void WriteToMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

bool StartWrite(png_structp png, png_infop info, std::vector<std::uint8_t>* out, int width, int height, bool alpha) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, &WriteToMemory, &NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  return true;
}

bool WriteOneRow(png_structp png, const std::uint8_t* row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_row(png, const_cast<png_bytep>(row));
  return true;
}

bool EndWrite(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_end(png, info);
  return true;
}

}  // namespace

PngWriter::PngWriter(int width, int height, bool alpha) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.rowsLeft = height;
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &Fail, &Quiet);
  if (s.png) s.info = png_create_info_struct(s.png);
  s.failed = !s.info || width <= 0 || height <= 0 || !StartWrite(s.png, s.info, &s.out, width, height, alpha);
}

PngWriter::~PngWriter() {
  if (state_->png) png_destroy_write_struct(&state_->png, state_->info ? &state_->info : nullptr);
}

bool PngWriter::WriteRow(const std::uint8_t* row) {
  State& s = *state_;
  if (s.failed || s.rowsLeft <= 0) return false;
  s.failed = !WriteOneRow(s.png, row);
  --s.rowsLeft;
  return !s.failed;
}

std::vector<std::uint8_t> PngWriter::Finish() {
  State& s = *state_;
  if (s.failed || s.rowsLeft != 0 || !EndWrite(s.png, s.info)) return {};
  return std::move(s.out);
}

std::vector<std::uint8_t> EncodeColourPng(const SkinPixels& pixels) {
  if (pixels.Empty() || pixels.mode != PixelMode::Colour) return {};
  PngWriter writer(pixels.width, pixels.height, true);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(pixels.width) * 4);
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const std::uint32_t p = pixels.ColourAt(x, y);
      std::uint8_t* o = &row[static_cast<std::size_t>(x) * 4];
      o[0] = static_cast<std::uint8_t>(p >> 16);
      o[1] = static_cast<std::uint8_t>(p >> 8);
      o[2] = static_cast<std::uint8_t>(p);
      o[3] = static_cast<std::uint8_t>(255u - (p >> 24));
    }
    if (!writer.WriteRow(row.data())) return {};
  }
  return writer.Finish();
}

SkinPixels CoverageFromColour(const SkinPixels& colour) {
  SkinPixels out;
  out.width = colour.width;
  out.height = colour.height;
  out.mode = PixelMode::Coverage;
  out.coverage.resize(colour.colour.size());
  for (std::size_t i = 0; i < colour.colour.size(); ++i) {
    const std::uint32_t p = colour.colour[i];
    out.coverage[i] = static_cast<std::uint8_t>((((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3);
  }
  return out;
}

}  // namespace kr::skin
