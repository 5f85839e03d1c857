#include "registry/envelope_shape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/decimal_field.h"

namespace kr {

EnvelopeNodes ParseEnvelopeText(std::string_view text) {
  if (text.empty()) text = kDefaultEnvelopeText;
  EnvelopeNodes nodes;
  float earliest = 0.0f;
  while (!text.empty() && static_cast<int>(nodes.points.size()) < EnvelopeNodes::kMaxPoints) {
    const std::size_t open = text.find('(');
    const std::size_t comma = text.find(',');
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos || close == 0) break;
    if (!(open < comma && comma < close)) break;  // a pair without its "(" or ",": the fault ends the points
    // Each field alone, so that one never reads into the next.
    const double time = ReadDecimalField(text.substr(open + 1, comma - open - 1));
    const double level = ReadDecimalField(text.substr(comma + 1, close - comma - 1));
    EnvelopeNode node;
    node.time = static_cast<float>(std::clamp(time, static_cast<double>(earliest), double{EnvelopeNodes::kLatestTime}));
    node.level = static_cast<float>(std::clamp(level, -1.0, 1.0));
    earliest = node.time;
    if (text.front() == 'S') nodes.sustain = static_cast<int>(nodes.points.size());
    nodes.points.push_back(node);
    text.remove_prefix(close + 1);
  }
  return nodes;
}

std::string EnvelopeTextOf(const EnvelopeNodes& nodes) {
  std::string text;
  for (std::size_t i = 0; i < nodes.points.size(); ++i) {
    char pair[96];
    std::snprintf(pair, sizeof pair, "(%f,%f)", static_cast<double>(nodes.points[i].time),
                  static_cast<double>(nodes.points[i].level));
    if (static_cast<int>(i) == nodes.sustain) text += 'S';
    text += pair;
  }
  return text;
}

std::vector<EnvelopePoint> EnvelopeShapeOf(const EnvelopeNodes& nodes) {
  std::vector<EnvelopePoint> shape;
  shape.reserve(nodes.points.size() + 1);
  EnvelopeNode previous;
  for (std::size_t i = 0; i < nodes.points.size(); ++i) {
    const EnvelopeNode& p = nodes.points[i];
    EnvelopePoint e;
    e.level = p.level;
    e.rate = static_cast<float>(std::fabs(double{p.level} - previous.level) /
                                std::max(std::fabs(double{p.time} - previous.time), 0.0001));
    e.kind = i + 1 == nodes.points.size()             ? EnvelopePoint::kEnd
             : static_cast<int>(i) == nodes.sustain ? EnvelopePoint::kSustain
                                                      : EnvelopePoint::kPoint;
    shape.push_back(e);
    previous = p;
  }
  shape.push_back({0.0f, 10.0f, EnvelopePoint::kEnd});
  return shape;
}

std::vector<EnvelopePoint> EnvelopeShapeFromText(std::string_view text) {
  return EnvelopeShapeOf(ParseEnvelopeText(text));
}

}  // namespace kr
