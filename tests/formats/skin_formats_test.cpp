// The readers of skin files: descriptors, style files, bitmaps with masks,
// PNG colour types, stored images that lie about themselves.
#include <gtest/gtest.h>

#include "base/whole_file.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "formats/skin/bitmap_descriptor.h"
#include "formats/skin/bmp_decode.h"
#include "formats/skin/png_codec.h"
#include "formats/skin/stored_image.h"
#include "formats/skin/style_file.h"
#include "gui/draw/font.h"
#include "support/panel_rig.h"

using namespace kr;

namespace {

using namespace kr::skin;

TEST(BitmapDescriptor, ReadsKeysAndHoldsThemToTheImage) {
  BitmapDescriptor d = ParseBitmapDescriptor(
      "type animated\r\nframe_size 40,40 ; a comment\npadding 1 2 3 4\norientation horizontal\n"
      "handle_range 5 ;60\nsegment_count 7\nhandle_rect 2 3 20 30\nbogus 1 2\nframe_size 99\n");
  EXPECT_EQ(d.type, kKnob);
  EXPECT_EQ(d.code, 1);
  EXPECT_EQ(d.rangeStart, 5);
  EXPECT_EQ(d.rangeEnd, 50);  // the second number was a comment
  EXPECT_EQ(d.count, 7);
  EXPECT_EQ(std::make_tuple(d.paddingTop, d.paddingBottom, d.paddingLeft, d.paddingRight), std::make_tuple(1, 2, 3, 4));
  FinishDescriptor(d, 40, 400);
  EXPECT_EQ(d.lastFrame, 9);
  EXPECT_EQ(ParseBitmapDescriptor("type wobbly").type, kKnob);
  EXPECT_EQ(ParseBitmapDescriptor("tiled tile").code, 0);
  EXPECT_EQ(ParseBitmapDescriptor("tiled false").code, 1);
  EXPECT_EQ(ParseBitmapDescriptor("orientation vertical").code, 0);

  // Frames, handles and paddings that lie outside the image are held to it.
  BitmapDescriptor lie = ParseBitmapDescriptor("frame_size 0 -5\nhandle_rect -9 500 900 -3\npadding 1 99999 -4 2");
  FinishDescriptor(lie, 30, 20);
  EXPECT_EQ(lie.frameWidth, 1);
  EXPECT_EQ(lie.frameHeight, 1);
  EXPECT_EQ(lie.lastFrame, 0);  // a frame height of 0 or less: one frame
  EXPECT_EQ(lie.handleRect, (DocRect{0, 20, 30, 20}));
  EXPECT_EQ(lie.paddingBottom, 4096);
  EXPECT_EQ(lie.paddingLeft, 0);
}

TEST(StyleFile, ReadsCategoriesWithTheirFaceColourAndWeight) {
  const auto styles = ParseStyleFile(
      "font-size 99 ; before any category: dropped\n"
      "FONT_CATEGORY \"Heading 1\"\nfont-family Zapfino, 'dejavu serif' ,Arial\nfont-size 18\n"
      "font-color #0000FF\nbackground-color 255\ntext-align Right\nfont-weight 600\nfont-style italic\n"
      "FONT_CATEGORY light\nfont-weight 300\ntext-decoration underline\ntext-align centre\n"
      "FONT_CATEGORY plain\nfont-weight 400\n",
      &kr::gui::InstalledFamilyName);
  ASSERT_EQ(styles.size(), 3u);
  const SkinFontInfo& h = *styles[0];
  EXPECT_EQ(h.name, "heading 1");
  EXPECT_EQ(h.face, "DejaVu Serif");
  EXPECT_EQ(h.size, 18);
  EXPECT_EQ(h.colour, 0x0000FF);  // red, as 0x00BBGGRR
  EXPECT_EQ(h.background, 255);
  EXPECT_EQ(h.flags, kStyleRight | kStyleBold | kStyleItalic);
  EXPECT_EQ(styles[1]->flags, kStyleLight | kStyleUnderline | kStyleCentre);
  EXPECT_EQ(styles[2]->flags, 0);
  EXPECT_EQ(styles[2]->face, "Arial");
  EXPECT_EQ(styles[2]->size, 12);
}

TEST(Bitmaps, MaskAndTransparentPixelMakeTransparency) {
  const auto bytes = kr::ReadWholeFile((krtest::kGuiData / "skins/test/led.bmp").string());
  const auto maskBytes = kr::ReadWholeFile((krtest::kGuiData / "skins/test/led_mask.bmp").string());
  ASSERT_TRUE(bytes && maskBytes);
  auto image = DecodeBmp(*bytes);
  auto mask = DecodeBmp(*maskBytes);
  ASSERT_TRUE(std::holds_alternative<SkinPixels>(image));
  SkinPixels led = std::get<SkinPixels>(image);
  EXPECT_EQ(led.width, 10);
  EXPECT_EQ(led.height, 20);
  EXPECT_EQ(led.ColourAt(0, 0), 0x00003C00u);  // top row: off, rows came bottom-up
  EXPECT_EQ(led.ColourAt(5, 15), 0x0000FF00u);
  ApplyMask(led, std::get<SkinPixels>(mask));
  EXPECT_EQ(led.ColourAt(0, 0) >> 24, 255u);  // white mask: invisible
  EXPECT_EQ(led.ColourAt(5, 5) >> 24, 0u);    // black mask: opaque
  SkinPixels keyed = std::get<SkinPixels>(image);
  ApplyTransparentPixel(keyed, 0, 0);
  EXPECT_EQ(keyed.ColourAt(3, 3), 0xFF000000u);
  EXPECT_EQ(keyed.ColourAt(3, 13), 0x0000FF00u);

  std::vector<std::uint8_t> truncated(bytes->begin(), bytes->begin() + 100);
  EXPECT_TRUE(std::holds_alternative<std::string>(DecodeBmp(truncated)));
  std::vector<std::uint8_t> huge = *bytes;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;  // width 2^31 - 1
  EXPECT_EQ(std::get<std::string>(DecodeBmp(huge)), "bitmap size out of range");
}

TEST(Png, ColourTypesBecomePixelsAndCoverage) {
  SkinPixels rgba;
  rgba.width = 2;
  rgba.height = 1;
  rgba.colour = {0x00123456, 0x80ABCDEF};  // opaque, half transparent
  const auto png = EncodeColourPng(rgba);
  const auto back = DecodePng(png, PixelMode::Colour);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->colour, rgba.colour);
  const auto coverage = DecodePng(png, PixelMode::Coverage);
  ASSERT_TRUE(coverage);
  EXPECT_EQ(coverage->coverage, (std::vector<std::uint8_t>{0x34, 0xCD}));  // RGBA: the green byte

  kr::skin::PngWriter grey(1, 1, false);  // an RGB file: coverage is its blue byte
  const std::uint8_t row[3] = {10, 20, 30};
  grey.WriteRow(row);
  const auto rgb = DecodePng(grey.Finish(), PixelMode::Coverage);
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->coverage[0], 30);

  auto broken = png;
  broken.resize(broken.size() / 2);
  EXPECT_FALSE(DecodePng(broken, PixelMode::Colour));
  EXPECT_FALSE(DecodePng(std::vector<std::uint8_t>{1, 2, 3}, PixelMode::Colour));
}

TEST(StoredImages, OnlyTheDecodedSizeCounts) {
  CAnimBitmap raw;
  raw.width = 4;
  raw.height = 4;
  raw.pixels.assign(15, 0);  // not 4 x 4: no pixels
  EXPECT_FALSE(DecodeStoredPixels(raw, PixelMode::Colour));
  raw.pixels.assign(16, 0x00FFFFFF);
  ASSERT_TRUE(DecodeStoredPixels(raw, PixelMode::Colour));
  EXPECT_EQ(DecodeStoredPixels(raw, PixelMode::Coverage)->coverage[0], 255);

  // A PNG record whose stored size lies: the decoded size wins.
  SkinPixels two;
  two.width = 2;
  two.height = 6;
  two.colour.assign(12, 0);
  CAnimBitmap record;
  record.png = EncodeColourPng(two);
  record.width = 5000;
  record.height = 5000;
  record.frameWidth = 2;
  record.frameHeight = 3;
  record.lastFrame = 1000;
  record.count = 9;
  const auto pixels = DecodeStoredPixels(record, PixelMode::Colour);
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->height, 6);
  EXPECT_EQ(StoredDescriptor(record, pixels->width, pixels->height).lastFrame, 1);
}

TEST(StoredImages, SkinBlockRoundTripsAndRefusesLies) {
  std::vector<std::unique_ptr<SkinInfo>> skins;
  skins.push_back(std::make_unique<SkinInfo>());
  skins[0]->name = "x";
  skins[0]->images.push_back(std::make_unique<CAnimBitmap>());
  skins[0]->images[0]->name = "knob";
  skins[0]->images[0]->png = {1, 2, 3};
  skins[0]->styles.push_back(std::make_unique<SkinFontInfo>());
  ArchiveWriter w(95710);
  WriteSkinBlock(w, skins);
  const std::vector<std::uint8_t> bytes = w.TakeBytes();
  ArchiveReader r(bytes, 95710, &FindSkinClass);
  const auto back = ReadSkinBlock(r);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0]->images.at(0)->png, (std::vector<std::uint8_t>{1, 2, 3}));
  std::vector<std::uint8_t> lying = bytes;
  lying[0] = 0x7F;  // a skin count of millions
  ArchiveReader r2(lying, 95710, &FindSkinClass);
  EXPECT_THROW(ReadSkinBlock(r2), ArchiveError);
}

}  // namespace
