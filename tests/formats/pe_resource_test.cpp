#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/little_endian.h"
#include "formats/image/pe_image.h"
#include "formats/image/pe_resource_reader.h"
#include "formats/image/pe_resource_writer.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
using namespace kr::packaging;

std::uint32_t U32(const Bytes& b, std::uint64_t at) { return LittleEndianReader(b).U32(at); }

TEST(PeResource, WrittenResourceReadsBackFromPe32AndPe32Plus) {
  for (bool wide : {false, true}) {
    const Bytes dll = krtest::MinimalPe(wide);
    const Bytes payload = krtest::RandomBytes(1234, 5);
    const ImageResult result = AddPeResource(dll, "KR1", 165, payload);
    ASSERT_TRUE(result.ok()) << result.error;
    const Bytes& out = result.image;

    EXPECT_EQ(ReadPeResource(out, "KR1", 165), payload);
    EXPECT_EQ(ReadPeResource(out, "kr1", 165), payload);  // types compare as Windows does
    EXPECT_FALSE(ReadPeResource(out, "KR1", 166).has_value());
    EXPECT_FALSE(ReadPeResource(out, "KR2", 165).has_value());
    EXPECT_FALSE(ReadPeResource(dll, "KR1", 165).has_value());

    std::string error;
    const auto image = ParsePeImage(out, error);
    ASSERT_TRUE(image.has_value()) << error;
    ASSERT_EQ(image->sections.size(), 2u);
    const PeSection& rsrc = image->sections[1];
    EXPECT_EQ(rsrc.name, ".rsrc");
    EXPECT_EQ(rsrc.virtualAddress, 0x2000u);
    EXPECT_EQ(rsrc.rawOffset % 0x200, 0u);
    EXPECT_EQ(rsrc.rawSize % 0x200, 0u);
    EXPECT_EQ(U32(out, image->SizeOfImageField()), 0x2000u + (rsrc.virtualSize + 0xfffu) / 0x1000 * 0x1000);
    EXPECT_EQ(U32(out, image->SizeOfInitializedDataField()), 0x200u + rsrc.rawSize);
    EXPECT_EQ(U32(out, image->DataDirectoryField(kResourceDirectoryIndex)), 0x2000u);
    EXPECT_EQ(U32(out, image->DataDirectoryField(kResourceDirectoryIndex) + 4), rsrc.virtualSize);
    EXPECT_EQ(U32(out, image->CheckSumField()), PeChecksum(out, image->CheckSumField()));
    EXPECT_EQ(out.size(), std::size_t{rsrc.rawOffset} + rsrc.rawSize);
  }
}

TEST(PeResource, ChecksumMatchesAKnownValue) {
  // Words 0x0201 and 0x0003 sum to 0x0204; the field's bytes count as zero;
  // the length (4) is added at the end.
  EXPECT_EQ(PeChecksum(Bytes{1, 2, 3}, 100), 0x0204u + 3);
  EXPECT_EQ(PeChecksum(Bytes{1, 2, 3, 4}, 0), 4u);
  EXPECT_EQ(PeChecksum(Bytes{0xff, 0xff, 0x02, 0x00}, 100), 0x0002u + 4);  // carry folds back in
}

TEST(PeResource, RefusesWhatItCannotDoSafely) {
  const auto failsWith = [](const Bytes& dll, const std::string& words) {
    const ImageResult result = AddPeResource(dll, "KR1", 165, krtest::BytesOf("doc"));
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find(words), std::string::npos) << result.error;
  };
  const Bytes once = AddPeResource(krtest::MinimalPe(false), "KR1", 165, krtest::BytesOf("doc")).image;
  failsWith(once, "already has resources");
  failsWith(krtest::MinimalPe(false, 0), "no room for another section header");
  Bytes slotInUse = krtest::MinimalPe(false);
  std::string error;
  const auto image = ParsePeImage(slotInUse, error);
  slotInUse[image->sectionTableOffset + kSectionHeaderSize + 5] = 1;
  failsWith(slotInUse, "no room for another section header");
  Bytes headersPastTheEnd = krtest::MinimalPe(false, 0);
  Put32(headersPastTheEnd, image->optionalHeaderOffset + 60, 0xfffffff0u);
  Put32(headersPastTheEnd, image->sectionTableOffset + 16, 0);  // the only section has no file data
  headersPastTheEnd.resize(image->sectionTableOffset + kSectionHeaderSize + 8);
  failsWith(headersPastTheEnd, "no room for another section header");
  Bytes signedDll = krtest::MinimalPe(false);
  signedDll[image->DataDirectoryField(kCertificateDirectoryIndex) + 4] = 0x10;
  failsWith(signedDll, "signed");
  failsWith(krtest::BytesOf("MZ"), "not a PE file");
  failsWith(krtest::BytesOf("\x7f" "ELF"), "not a PE file");
  Bytes badAlignment = krtest::MinimalPe(true);
  badAlignment[image->optionalHeaderOffset + 32] = 0x03;  // 0x1003 is no power of two
  failsWith(badAlignment, "alignments");
  Bytes hugeFileAlignment = krtest::MinimalPe(false);
  Put32(hugeFileAlignment, image->optionalHeaderOffset + 32, 0x40000000u);
  Put32(hugeFileAlignment, image->optionalHeaderOffset + 36, 0x40000000u);  // would pad the file to 1 GB
  failsWith(hugeFileAlignment, "alignments");
  EXPECT_FALSE(AddPeResource(krtest::MinimalPe(false), "", 165, {}).ok());
  EXPECT_FALSE(AddPeResource(krtest::MinimalPe(false), "KR1", 70000, {}).ok());
}

TEST(PeResource, DamagedFilesNeverCrashTheReader) {
  const Bytes good = AddPeResource(krtest::MinimalPe(false), "KR1", 165, krtest::RandomBytes(64, 3)).image;
  for (std::size_t length = 0; length < good.size(); length += 7) {
    const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
    (void)ReadPeResource(cut, "KR1", 165);
    (void)AddPeResource(cut, "KR1", 165, krtest::BytesOf("x"));
  }
  std::string error;
  const std::uint32_t rsrc = ParsePeImage(good, error)->sections[1].rawOffset;
  for (std::uint32_t seed = 0; seed < 3000; ++seed) {
    Bytes damaged = good;
    const Bytes noise = krtest::RandomBytes(3, seed);
    damaged[rsrc + noise[0] % 104] = noise[1];  // somewhere in the resource tree or its name
    damaged[(noise[2] * 7u) % 0x200] ^= noise[1];
    const auto bytes = ReadPeResource(damaged, "KR1", 165);
    if (bytes) {
      EXPECT_LE(bytes->size(), damaged.size());
    }
  }
}

std::string ObjdumpPrivateHeaders(const std::filesystem::path& dll) {
  const std::string command = "i686-w64-mingw32-objdump -p " + dll.string() + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

void ExpectObjdumpListsTheResource(const Bytes& dll, const std::filesystem::path& carrier) {
  // The linker's own checksum is the reference for ours.
  std::string error;
  const auto image = ParsePeImage(dll, error);
  ASSERT_TRUE(image.has_value()) << error;
  const std::uint32_t linkerChecksum = U32(dll, image->CheckSumField());
  if (linkerChecksum != 0) {
    EXPECT_EQ(PeChecksum(dll, image->CheckSumField()), linkerChecksum);
  }

  const Bytes payload = krtest::RandomBytes(777, 9);
  const ImageResult result = AddPeResource(dll, "KR1", 165, payload);
  ASSERT_TRUE(result.ok()) << result.error;
  krtest::WriteFileBytes(carrier, result.image);
  EXPECT_EQ(ReadPeResource(result.image, "KR1", 165), payload);

  const std::string text = ObjdumpPrivateHeaders(carrier);
  EXPECT_NE(text.find("file format pei-i386"), std::string::npos) << text;
  EXPECT_NE(text.find("The .rsrc Resource Directory section"), std::string::npos) << text;
  EXPECT_NE(text.find("]: KR1,"), std::string::npos) << text;
  EXPECT_NE(text.find("Entry: ID: 0x0000a5,"), std::string::npos) << text;
  EXPECT_NE(text.find("Size: 0x000309"), std::string::npos) << text;  // 777 bytes
  EXPECT_EQ(text.find("orrupt"), std::string::npos) << text;
}

// A DLL from the real cross toolchain, checked with its own objdump (the
// plug-in's own DLL is checked the same way by scripts/windows-tests.sh,
// after the Windows builds).
TEST(PeResource, MinGwObjdumpListsTheResource) {
#if defined(_WIN32)
  GTEST_SKIP() << "the MinGW compiler and objdump are Linux programs; on Windows FindResource reads the "
                  "resource back (tests/platform, tests/host)";
#endif
  if (std::system("command -v i686-w64-mingw32-gcc-posix >/dev/null 2>&1 && "
                  "command -v i686-w64-mingw32-objdump >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "the i686 MinGW compiler and objdump are not installed";
  krtest::TempDir dir;
  const auto source = dir.path() / "tiny.c";
  const auto tiny = dir.path() / "tiny.dll";
  krtest::WriteFileBytes(source, krtest::BytesOf("__declspec(dllexport) int f(void) { return 1; }\n"));
  const std::string compile = "i686-w64-mingw32-gcc-posix -shared -o " + tiny.string() + " " + source.string();
  ASSERT_EQ(std::system(compile.c_str()), 0) << compile;
  ExpectObjdumpListsTheResource(krtest::ReadFileBytes(tiny), dir.path() / "tiny_carrier.dll");
}

}  // namespace
