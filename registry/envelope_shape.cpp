#include "registry/envelope_shape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace kr {

namespace {

struct TextPoint {
  double time = 0.0;
  double level = 0.0;
  bool sustain = false;
};

double Number(std::string_view text) {
  const std::string copy(text);
  const double value = std::strtod(copy.c_str(), nullptr);
  return std::isfinite(value) ? value : 0.0;
}

std::vector<TextPoint> ParsePoints(std::string_view text) {
  std::vector<TextPoint> points;
  while (!text.empty()) {
    const std::size_t open = text.find('(');
    const std::size_t comma = text.find(',');
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos || close == 0 || open == std::string_view::npos || comma == std::string_view::npos ||
        !(open < comma && comma < close))
      break;
    TextPoint p;
    p.time = Number(text.substr(open + 1, comma - open - 1));
    p.level = std::clamp(Number(text.substr(comma + 1, close - comma - 1)), -1.0, 1.0);
    p.sustain = text.front() == 'S';
    points.push_back(p);
    text.remove_prefix(close + 1);
  }
  return points;
}

}  // namespace

std::vector<EnvelopePoint> EnvelopeShapeFromText(std::string_view text) {
  std::vector<TextPoint> points = ParsePoints(text.empty() ? kDefaultEnvelopeText : text);
  std::vector<EnvelopePoint> shape;
  shape.reserve(points.size() + 1);
  TextPoint previous;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TextPoint& p = points[i];
    EnvelopePoint e;
    e.level = static_cast<float>(p.level);
    e.rate = static_cast<float>(std::fabs(p.level - previous.level) / std::max(std::fabs(p.time - previous.time), 0.0001));
    e.kind = i + 1 == points.size() ? EnvelopePoint::kEnd : p.sustain ? EnvelopePoint::kSustain : EnvelopePoint::kPoint;
    shape.push_back(e);
    previous = p;
  }
  shape.push_back({0.0f, 10.0f, EnvelopePoint::kEnd});
  return shape;
}

}  // namespace kr
