#include "formats/skin/bitmap_descriptor.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "formats/skin/text_lines.h"

namespace kr::skin {

namespace {

// Tokens of one descriptor line: a token ends at the first space or comma,
// the rest loses its leading white space; ";" starts a comment.
std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::string_view rest = TrimLeft(line);
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of(" ,");
    const std::string_view token = rest.substr(0, end);
    if (!token.empty() && token.front() == ';') break;
    tokens.push_back(token);
    if (end == std::string_view::npos) break;
    rest = TrimLeft(rest.substr(end + 1));
  }
  return tokens;
}

std::int32_t Number(std::string_view token) {
  const std::string copy(token);
  const long v = std::strtol(copy.c_str(), nullptr, 10);
  return static_cast<std::int32_t>(std::clamp<long>(v, -1000000000L, 1000000000L));
}

std::int32_t CodeOf(std::string_view value) {
  switch (value.empty() ? '\0' : value.front()) {
    case 'f': return 1;
    case 't': return 0;
    case 'h': return 1;
    case 'v': return 0;
    case 'c': return 2;
    case 'r': return 3;
    case 's': return 4;
    default: return -1;
  }
}

void ApplyLine(BitmapDescriptor& d, const std::vector<std::string_view>& t) {
  if (t.empty()) return;
  const std::string_view key = t[0];
  const std::size_t n = t.size();
  if (key == "type" && n >= 2) {
    const std::string_view v = t[1];
    if (v == "slider") d.type = kSlider;
    else if (v == "knob" || v == "animated") d.type = kKnob;
    else if (v == "button") d.type = kButton;
    else if (v == "bargraph") d.type = kBarGraph;
  } else if ((key == "orientation" || key == "tiled" || key == "mouse_response") && n >= 2) {
    const std::int32_t code = CodeOf(t[1]);
    if (code >= 0) d.code = code;
  } else if (key == "frame_size" && n >= 3) {
    d.frameWidth = Number(t[1]);
    d.frameHeight = Number(t[2]);
    d.hasFrameSize = true;
  } else if (key == "padding" && n >= 5) {
    d.paddingTop = Number(t[1]);
    d.paddingBottom = Number(t[2]);
    d.paddingLeft = Number(t[3]);
    d.paddingRight = Number(t[4]);
  } else if (key == "handle_rect" && n >= 5) {
    d.handleRect = {Number(t[1]), Number(t[2]), Number(t[3]), Number(t[4])};
  } else if ((key == "handle_range" || key == "segment") && n >= 2) {
    d.rangeStart = Number(t[1]);
    if (n >= 3) d.rangeEnd = Number(t[2]);
  } else if ((key == "segment_count" || key == "line_end_length") && n >= 2) {
    d.count = Number(t[1]);
  } else if (key == "transparent_pixel" && n >= 2) {
    d.transparentX = Number(t[1]);
    if (n >= 3) d.transparentY = Number(t[2]);
  }
}

}  // namespace

BitmapDescriptor ParseBitmapDescriptor(std::string_view text) {
  BitmapDescriptor d;
  ForEachLine(text, [&](std::string_view line) { ApplyLine(d, Tokens(line)); });
  return d;
}

void FinishDescriptor(BitmapDescriptor& d, int imageWidth, int imageHeight) {
  const int w = std::max(imageWidth, 1);
  const int h = std::max(imageHeight, 1);
  if (d.hasFrameSize) {
    d.lastFrame = d.frameHeight > 0 ? h / d.frameHeight - 1 : 0;
  } else {
    d.frameWidth = w;
    d.frameHeight = h;
    d.lastFrame = 0;
  }
  HoldDescriptorToImage(d, imageWidth, imageHeight);
}

void HoldDescriptorToImage(BitmapDescriptor& d, int imageWidth, int imageHeight) {
  const int w = std::max(imageWidth, 1);
  const int h = std::max(imageHeight, 1);
  d.frameWidth = std::clamp(d.frameWidth, 1, w);
  d.frameHeight = std::clamp(d.frameHeight, 1, h);
  d.lastFrame = std::clamp(d.lastFrame, 0, h / d.frameHeight - 1);
  for (std::int32_t* p : {&d.paddingLeft, &d.paddingRight, &d.paddingTop, &d.paddingBottom}) *p = std::clamp(*p, 0, 4096);
  DocRect& r = d.handleRect;
  r.left = std::clamp(r.left, 0, w);
  r.top = std::clamp(r.top, 0, h);
  r.right = std::clamp(r.right, r.left, w);
  r.bottom = std::clamp(r.bottom, r.top, h);
}

}  // namespace kr::skin
