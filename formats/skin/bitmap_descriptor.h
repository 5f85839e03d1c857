// The descriptor text file beside a skin image ("knob_med.txt" for
// "knob_med.png"): frame size, type, response, handle and segments.
#pragma once

#include <cstdint>
#include <string_view>

#include "formats/archive/geometry.h"

namespace kr::skin {

// Types: slider 0, knob or animation 1, button 2, bar graph 3.
enum BitmapType : std::int32_t { kSlider = 0, kKnob = 1, kButton = 2, kBarGraph = 3 };

struct BitmapDescriptor {
  std::int32_t count = 5;         // "segment_count" / "line_end_length"
  std::int32_t code = -1;         // "orientation" / "tiled" / "mouse_response"
  std::int32_t rangeEnd = 50;     // "handle_range" / "segment"
  std::int32_t rangeStart = 0;
  DocRect handleRect{0, 0, 10, 10};
  std::int32_t frameWidth = 10;
  std::int32_t frameHeight = 10;
  std::int32_t lastFrame = -1;    // computed once the image is known
  std::int32_t type = kKnob;
  std::int32_t paddingLeft = 0, paddingRight = 0, paddingTop = 0, paddingBottom = 0;
  std::int32_t transparentX = -1, transparentY = -1;
  bool hasFrameSize = false;
};

// Reads a descriptor text over the defaults. Unknown keys and lines with too
// few tokens are ignored; numbers that are not numbers read as 0.
BitmapDescriptor ParseBitmapDescriptor(std::string_view text);

// Settles the frame layout once the image's size is known: with a
// "frame_size" the last frame index is height / frame height - 1, else one
// frame of the whole image. Values the image cannot hold are held to it:
// frames at least 1 pixel and at most the image, a last frame inside the
// image, paddings between 0 and 4096, the handle rectangle inside the image.
void FinishDescriptor(BitmapDescriptor& d, int imageWidth, int imageHeight);
// Only the holding part, for descriptors whose frames were counted before
// (the records a document stores).
void HoldDescriptorToImage(BitmapDescriptor& d, int imageWidth, int imageHeight);

}  // namespace kr::skin
