#include "formats/image/elf_section_writer.h"

#include <gtest/gtest.h>

#include "formats/image/carried_document.h"
#include "formats/image/elf_image.h"
#include "platform/platform.h"
#include "support/temp_dir.h"
#include "support/test_images.h"

using namespace kr;

namespace {

using krtest::Bytes;
using namespace kr::packaging;

const std::string kSection = platform::ResourceSectionName("KR1", 165);

std::size_t SectionCount(const Bytes& elf) {
  std::string error;
  const auto image = ParseElfImage(elf, error);
  return image ? image->sections.size() : 0;
}

// The system's loader reads the section back only where plug-ins are ELF files.
#if defined(_WIN32)
constexpr bool kLoaderReadsElf = false;
#else
constexpr bool kLoaderReadsElf = true;
#endif
constexpr const char* kNoElfLoader =
    "the Windows loader reads PE resources, not ELF sections (PE: tests/platform, tests/host)";

TEST(ElfSectionWriter, RealPluginCarriesTheSectionAndStillLoads) {
  if (!kLoaderReadsElf) GTEST_SKIP() << kNoElfLoader;
  krtest::TempDir dir;
  const Bytes plugin = krtest::ReadFileBytes(KR_PLUGIN_PATH);
  const Bytes payload = krtest::RandomBytes(3001, 1);
  const ImageResult first = AddElfSection(plugin, kSection, payload);
  ASSERT_TRUE(first.ok()) << first.error;
  EXPECT_EQ(SectionCount(first.image), SectionCount(plugin) + 1);

  const auto path = dir.path() / "Carrier.so";
  krtest::WriteFileBytes(path, first.image);
  const auto read = platform::LoadStoredResourceFromFile(path.string(), "KR1", 165);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, payload);

  auto library = platform::LoadLibrary(path.string());
  ASSERT_NE(library, nullptr) << platform::LastLibraryError();
  EXPECT_NE(platform::LibrarySymbol(library, "main"), nullptr);
  platform::FreeLibrary(library);

  // A second export replaces the section instead of adding another.
  const Bytes replacement = krtest::BytesOf("shorter");
  const ImageResult second = AddElfSection(first.image, kSection, replacement);
  ASSERT_TRUE(second.ok()) << second.error;
  EXPECT_EQ(SectionCount(second.image), SectionCount(first.image));
  krtest::WriteFileBytes(path, second.image);
  EXPECT_EQ(platform::LoadStoredResourceFromFile(path.string(), "KR1", 165), replacement);
}

TEST(ElfSectionWriter, BothClassesAndAnEmptySection) {
  krtest::TempDir dir;
  for (bool wide : {false, true}) {
    for (const Bytes& payload : {krtest::BytesOf("abc"), Bytes{}}) {
      const ImageResult result = AddElfSection(krtest::MinimalElf(wide), kSection, payload);
      ASSERT_TRUE(result.ok()) << result.error;
      EXPECT_EQ(ReadCarriedDocument(result.image), payload) << wide;  // on any system
      if (kLoaderReadsElf) {
        const auto path = dir.path() / (wide ? "wide.so" : "narrow.so");
        krtest::WriteFileBytes(path, result.image);
        EXPECT_EQ(platform::LoadStoredResourceFromFile(path.string(), "KR1", 165), payload) << wide;
      }
      std::string error;
      const auto image = ParseElfImage(result.image, error);
      ASSERT_TRUE(image.has_value()) << error;
      EXPECT_NE(image->Find(".shstrtab"), nullptr);  // old names survive the move
      EXPECT_EQ(image->wide, wide);
    }
  }
}

TEST(ElfSectionWriter, RefusesDamagedOrForeignFiles) {
  const Bytes good = krtest::MinimalElf(true);
  const auto failsWith = [&](Bytes bad, const std::string& words) {
    const ImageResult result = AddElfSection(bad, kSection, krtest::BytesOf("x"));
    EXPECT_FALSE(result.ok());
    EXPECT_NE(result.error.find(words), std::string::npos) << result.error;
  };
  failsWith(krtest::BytesOf("MZ not elf"), "not an ELF file");
  Bytes bigEndian = good;
  bigEndian[5] = 2;
  failsWith(bigEndian, "little-endian");
  Bytes tableOutside = good;
  tableOutside[40] = 0xf0;  // section table offset far past the end
  failsWith(tableOutside, "section table");
  Bytes namesIndex = good;
  namesIndex[62] = 7;  // names section index past the count
  failsWith(namesIndex, "section table");
  Bytes sectionOutside = good;
  sectionOutside[sectionOutside.size() - 64 + 32] = 0xff;  // the name table's size
  failsWith(sectionOutside, "outside the file");
  Bytes namesWithoutBytes = good;
  namesWithoutBytes[namesWithoutBytes.size() - 64 + 4] = 8;  // the name table as an empty NOBITS section
  namesWithoutBytes[namesWithoutBytes.size() - 64 + 24] = 0xf0;
  failsWith(namesWithoutBytes, "no bytes in the file");
}

TEST(ElfSectionWriter, TruncatedPluginsNeverCrash) {
  const Bytes plugin = krtest::ReadFileBytes(KR_PLUGIN_PATH);
  for (std::size_t length = 0; length < plugin.size(); length += 1 + length / 3) {
    const auto cut = std::span(plugin).first(length);
    const ImageResult result = AddElfSection(cut, kSection, krtest::BytesOf("x"));
    EXPECT_FALSE(result.ok()) << length;  // the section table sits at the very end
  }
}

}  // namespace
