#include "formats/skin/stored_image.h"

#include "formats/skin/png_codec.h"

namespace kr::skin {

std::optional<SkinPixels> DecodeStoredPixels(const CSkinBitmap& record, PixelMode mode) {
  if (!record.png.empty()) return DecodePng(record.png, mode);
  if (!AcceptableSize(record.width, record.height)) return std::nullopt;
  if (record.pixels.size() != static_cast<std::size_t>(record.width) * static_cast<std::size_t>(record.height))
    return std::nullopt;
  SkinPixels colour;
  colour.width = record.width;
  colour.height = record.height;
  colour.colour = record.pixels;
  if (mode == PixelMode::Coverage) return CoverageFromColour(colour);
  return colour;
}

BitmapDescriptor StoredDescriptor(const CAnimBitmap& r, int imageWidth, int imageHeight) {
  BitmapDescriptor d;
  d.count = r.count;
  d.code = r.code;
  d.rangeEnd = r.rangeEnd;
  d.rangeStart = r.rangeStart;
  d.handleRect = r.handleRect;
  d.frameWidth = r.frameWidth;
  d.frameHeight = r.frameHeight;
  d.lastFrame = r.lastFrame;
  d.type = r.type;
  d.paddingLeft = r.paddingLeft;
  d.paddingRight = r.paddingRight;
  d.paddingTop = r.paddingTop;
  d.paddingBottom = r.paddingBottom;
  d.hasFrameSize = true;
  HoldDescriptorToImage(d, imageWidth, imageHeight);
  return d;
}

std::unique_ptr<CAnimBitmap> MakeImageRecord(std::string name, const SkinPixels& colour,
                                             std::vector<std::uint8_t> pngBytes, const BitmapDescriptor& d) {
  auto r = std::make_unique<CAnimBitmap>();
  r->name = std::move(name);
  r->width = colour.width;
  r->height = colour.height;
  r->mode = 0;
  r->png = std::move(pngBytes);
  r->count = d.count;
  r->code = d.code;
  r->rangeEnd = d.rangeEnd;
  r->rangeStart = d.rangeStart;
  r->handleRect = d.handleRect;
  r->frameWidth = d.frameWidth;
  r->frameHeight = d.frameHeight;
  r->lastFrame = d.lastFrame;
  r->type = d.type;
  r->paddingLeft = d.paddingLeft;
  r->paddingRight = d.paddingRight;
  r->paddingTop = d.paddingTop;
  r->paddingBottom = d.paddingBottom;
  return r;
}

}  // namespace kr::skin
