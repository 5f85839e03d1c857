// The PNG library every build links (on Windows built from Debian's source
// with the MinGW zlib): a small image survives a trip through memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#if defined(KR_HAVE_PNG)
#include <png.h>
#endif

using namespace kr;

namespace {

TEST(PngLibrary, ImageRoundTripThroughMemory) {
#if !defined(KR_HAVE_PNG)
  GTEST_SKIP() << "built without libpng";
#else
  const std::vector<std::uint8_t> pixels = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 40};
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = 2;
  image.height = 2;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  ASSERT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr)) << image.message;
  std::vector<std::uint8_t> encoded(size);
  ASSERT_TRUE(png_image_write_to_memory(&image, encoded.data(), &size, 0, pixels.data(), 0, nullptr))
      << image.message;
  EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.begin() + 4), (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G'}));

  png_image read{};
  read.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&read, encoded.data(), size)) << read.message;
  EXPECT_EQ(read.width, 2u);
  EXPECT_EQ(read.height, 2u);
  read.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> decoded(PNG_IMAGE_SIZE(read));
  ASSERT_TRUE(png_image_finish_read(&read, nullptr, decoded.data(), 0, nullptr)) << read.message;
  EXPECT_EQ(decoded, pixels);

  png_image broken{};
  broken.version = PNG_IMAGE_VERSION;
  encoded[20] ^= 0xFF;  // inside the header chunk: its CRC no longer matches
  EXPECT_FALSE(png_image_begin_read_from_memory(&broken, encoded.data(), size));
  png_image_free(&broken);
#endif
}

}  // namespace
