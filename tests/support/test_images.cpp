#include "support/test_images.h"

#include <fstream>
#include <random>

#include <gtest/gtest.h>

#include "base/whole_file.h"

using namespace kr;

namespace krtest {

namespace {
void Put(Bytes& b, std::size_t at, std::uint64_t value, unsigned size) {
  for (unsigned i = 0; i < size; ++i) b.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}
}  // namespace

Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes ReadFileBytes(const std::filesystem::path& path) { return kr::ReadWholeFile(path.string()).value_or(Bytes{}); }

void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

Bytes RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes MinimalPe(bool wide, unsigned headerRoom) {
  const std::size_t pe = 0x40, coff = pe + 4, optional = coff + 20;
  const std::size_t optionalSize = wide ? 240 : 224;
  const std::size_t table = optional + optionalSize;
  const std::size_t firstData = table + 40 * (1 + headerRoom);
  const std::size_t headers = (firstData + 0x1ff) / 0x200 * 0x200;
  Bytes b(headers + 0x200, 0);
  b[0] = 'M';
  b[1] = 'Z';
  Put(b, 0x3c, pe, 4);
  b[pe] = 'P';
  b[pe + 1] = 'E';
  Put(b, coff, wide ? 0x8664 : 0x14c, 2);
  Put(b, coff + 2, 1, 2);  // one section
  Put(b, coff + 16, optionalSize, 2);
  Put(b, coff + 18, 0x2102, 2);  // executable, DLL
  Put(b, optional, wide ? 0x20b : 0x10b, 2);
  Put(b, optional + 8, 0x200, 4);  // initialised data
  Put(b, optional + 32, 0x1000, 4);
  Put(b, optional + 36, 0x200, 4);
  Put(b, optional + 56, 0x2000, 4);  // image size
  Put(b, optional + 60, firstData, 4);
  Put(b, optional + (wide ? 108 : 92), 16, 4);
  std::copy_n(".text", 5, b.begin() + static_cast<std::ptrdiff_t>(table));
  Put(b, table + 8, 0x10, 4);
  Put(b, table + 12, 0x1000, 4);
  Put(b, table + 16, 0x200, 4);
  Put(b, table + 20, headers, 4);
  Put(b, table + 36, 0x60000020, 4);
  for (std::size_t i = 0; i < 0x10; ++i) b[headers + i] = 0xc3;
  // Room is measured to the first section's data, which may start before
  // the header size says (a packed file), so move it back when asked.
  if (headerRoom == 0) Put(b, table + 20, firstData, 4);
  return b;
}

Bytes MinimalElf(bool wide) {
  const std::size_t header = wide ? 64 : 52, shentsize = wide ? 64 : 40;
  const std::string names = std::string("\0.shstrtab\0", 11);
  const std::size_t namesAt = header, table = (header + names.size() + 7) / 8 * 8;
  Bytes b(table + 2 * shentsize, 0);
  b[0] = 0x7f;
  b[1] = 'E';
  b[2] = 'L';
  b[3] = 'F';
  b[4] = wide ? 2 : 1;
  b[5] = 1;
  b[6] = 1;
  Put(b, 16, 3, 2);  // shared object
  Put(b, 18, wide ? 62 : 3, 2);
  Put(b, 20, 1, 4);
  Put(b, wide ? 40 : 32, table, wide ? 8 : 4);
  Put(b, wide ? 52 : 40, header, 2);
  Put(b, wide ? 58 : 46, shentsize, 2);
  Put(b, wide ? 60 : 48, 2, 2);
  Put(b, wide ? 62 : 50, 1, 2);
  std::copy(names.begin(), names.end(), b.begin() + static_cast<std::ptrdiff_t>(namesAt));
  const std::size_t sh = table + shentsize;
  Put(b, sh, 1, 4);      // ".shstrtab"
  Put(b, sh + 4, 3, 4);  // string table
  Put(b, sh + (wide ? 24 : 16), namesAt, wide ? 8 : 4);
  Put(b, sh + (wide ? 32 : 20), names.size(), wide ? 8 : 4);
  return b;
}

Bytes MinimalNativePlugin() {
#if defined(_WIN32)
  return MinimalPe(sizeof(void*) == 8);
#else
  return MinimalElf(true);
#endif
}

}  // namespace krtest
