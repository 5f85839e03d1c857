#include "dsp/shaper_curve.h"

#include <algorithm>

#include "base/decimal_field.h"
#include "dsp/evaluator.h"

namespace kr::dsp {

namespace {

// A field of a point: the editor keeps points within 0 ... 100; a stored
// text may not.
double ReadCoordinate(std::string_view text) { return std::clamp(ReadDecimalField(text), -1.0e6, 1.0e6); }

}  // namespace

ShapePoints ParseShapePoints(std::string_view text) {
  if (text.empty()) text = kDefaultShapeText;
  // Points the text does not give stand on the straight line.
  ShapePoints points;
  for (int k = 0; k < ShapePoints::kCount; ++k) {
    points.x[static_cast<std::size_t>(k)] = static_cast<float>(k * 10);
    points.y[static_cast<std::size_t>(k)] = static_cast<float>(100 - k * 10);
  }
  for (int k = 0; k < ShapePoints::kCount && !text.empty(); ++k) {
    const std::size_t open = text.find('(');
    const std::size_t comma = text.find(',');
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos || close == 0) break;
    const double in = open < close ? ReadCoordinate(text.substr(open + 1, close - open - 1)) : 0.0;
    const double out = comma < close ? ReadCoordinate(text.substr(comma + 1, close - comma - 1)) : 0.0;
    points.x[static_cast<std::size_t>(k)] = static_cast<float>((in + 5.0) * 10.0);
    points.y[static_cast<std::size_t>(k)] = static_cast<float>((5.0 - out) * 10.0);
    text.remove_prefix(close + 1);
  }
  return points;
}

void BuildPointCurve(const ShapePoints& p, ShaperTable& t) {
  int i = 0;       // the first entry not yet written
  double b = 0.0;  // where the previous segment ended, in entries
  for (int k = 0; k + 1 < ShapePoints::kCount; ++k) {
    const double c = p.x[static_cast<std::size_t>(k) + 1] * 5.12;
    const double yk = p.y[static_cast<std::size_t>(k)];
    const double e = 0.01 * (p.y[static_cast<std::size_t>(k) + 1] - yk) / (i - c);
    const double k0 = 0.5 - 0.01 * yk - e * b;
    // A segment writes only while i < c, where i - c <= -1: e stays bounded.
    const int n = static_cast<int>(std::clamp(std::trunc(c), -1.0, 512.0));
    for (; i < n; ++i) t[static_cast<std::size_t>(i)] = static_cast<float>(i * e + k0);
    b = c;
  }
  t[512] = 2.0f * t[511] - t[510];
  t[513] = t[512];
  for (float& v : t)
    if (!std::isfinite(v)) v = 0.0f;
}

void BuildFormulaCurve(std::string_view formula, Evaluator& evaluator, ShaperTable& t) {
  for (int j = 0; j <= 512; ++j) {
    const double x = (j * 0.001953125 - 0.5) * 10.0;
    const double y = evaluator.Evaluate(formula, x) * 0.1;
    t[static_cast<std::size_t>(j)] = std::isfinite(y) && std::fabs(y) < 3.0e38 ? static_cast<float>(y) : 0.0f;
  }
  t[513] = t[512];
}

}  // namespace kr::dsp
