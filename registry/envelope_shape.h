// The shape of a multistage envelope as its panel control stores it (a text
// of points) and as the envelope module plays it (levels, rates and kinds).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kr {

struct EnvelopePoint {
  enum Kind : std::int32_t { kPoint = 0, kSustain = 1, kEnd = 2 };
  float level = 0.0f;  // sample units (1.0 = 10 V)
  float rate = 0.0f;   // level units per second
  std::int32_t kind = kPoint;
};

// "(time,level)" per point, in time order, the sustain point preceded by "S".
inline constexpr std::string_view kDefaultEnvelopeText = "(0.1,1.0)S(0.4,0.8)(1.0,0.0)";

// The points of an envelope text, made into the shape the module plays: each
// point's level, the rate that reaches it from the one before (the first
// from 0 at time 0), its kind (sustain, last), and an end marker. An empty
// text is the default shape; a malformed one gives the points before the
// fault. Levels are kept within -1 .. 1.
std::vector<EnvelopePoint> EnvelopeShapeFromText(std::string_view text);

// An audio object that plays a drawn envelope: its document module hands it
// the shape (GUI thread).
class EnvelopeShapeReceiver {
 public:
  virtual void ReceiveShape(std::span<const EnvelopePoint> shape) = 0;

 protected:
  ~EnvelopeShapeReceiver() = default;
};

}  // namespace kr
