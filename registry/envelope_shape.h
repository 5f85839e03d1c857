// The shape of a multistage envelope as its panel control stores it (a text
// of points) and as the envelope module plays it (levels, rates and kinds).
#pragma once

#include <cstdint>
#include <span>
#include <string>
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

// One drawn point: seconds from the envelope's start, level in sample units.
struct EnvelopeNode {
  float time = 0.0f;
  float level = 0.0f;
  bool operator==(const EnvelopeNode&) const = default;
};

// The points of a drawn envelope, in time order, and which is the sustain
// point (-1: none).
struct EnvelopeNodes {
  static constexpr int kMaxPoints = 63;  // with the end marker, what the module holds
  static constexpr float kLatestTime = 999.0f;
  std::vector<EnvelopeNode> points;
  int sustain = -1;
  bool operator==(const EnvelopeNodes&) const = default;
};

// Reads an envelope text field by field: a point ends at the first ")"
// (none, or at the very start, ends the text); its time lies between the
// first "(" and ",", its level between the "," and the ")" (a pair without
// them ends the points). A field that is
// no finite number reads as 0; times are kept in order within 0 .. 999 and
// levels within -1 .. 1; points past kMaxPoints are dropped. An empty text
// is the default shape.
EnvelopeNodes ParseEnvelopeText(std::string_view text);
// The stored form: "(%f,%f)" per point, "S" before the sustain point.
std::string EnvelopeTextOf(const EnvelopeNodes& nodes);
// The shape the module plays: each point's level, the rate that reaches it
// from the one before (the first from 0 at time 0), its kind (sustain,
// last), then the end marker (0, 10, end).
std::vector<EnvelopePoint> EnvelopeShapeOf(const EnvelopeNodes& nodes);
std::vector<EnvelopePoint> EnvelopeShapeFromText(std::string_view text);

// An audio object that plays a drawn envelope: its document module hands it
// the shape (GUI thread). False while an earlier shape is still on its way
// to the audio side: the caller hands the shape over again later.
class EnvelopeShapeReceiver {
 public:
  virtual bool ReceiveShape(std::span<const EnvelopePoint> shape) = 0;

 protected:
  ~EnvelopeShapeReceiver() = default;
};

}  // namespace kr
