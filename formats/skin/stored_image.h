// Skin images as a document stores them (CAnimBitmap records): their pixels
// and their control descriptor, held to what the pixels can carry.
#pragma once

#include <optional>

#include "formats/skin/bitmap_descriptor.h"
#include "formats/skin/skin_pixels.h"
#include "formats/skin/skin_records.h"

namespace kr::skin {

// The record's pixels in the given mode: its PNG bytes decoded, or, in older
// documents, its raw pixels. Only the decoded size counts; raw pixels whose
// count is not width x height give nothing.
std::optional<SkinPixels> DecodeStoredPixels(const CSkinBitmap& record, PixelMode mode);

// The record's descriptor, held to an image of the given size.
BitmapDescriptor StoredDescriptor(const CAnimBitmap& record, int imageWidth, int imageHeight);

// A record holding an image (as PNG bytes) and its descriptor.
std::unique_ptr<CAnimBitmap> MakeImageRecord(std::string name, const SkinPixels& colour,
                                             std::vector<std::uint8_t> pngBytes, const BitmapDescriptor& d);

}  // namespace kr::skin
