#include "gui/panel/envelope_editor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "gui/panel/curve_drawing.h"
#include "gui/visual/input_state.h"

namespace kr::gui {

namespace {

constexpr int kZoomButtonWidth = 24;
constexpr int kZoomButtonHeight = 11;  // presses at y <= 11 reach it
constexpr double kZoomOutFactor = 1.1;
constexpr double kZoomInFactor = 0.9090909;
constexpr double kFurthestScroll = 1000.0;  // seconds the view may scroll past time 0


// A typed number: the whole text (blanks around it aside) a finite decimal.
bool ReadTyped(std::string_view text, double& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

}  // namespace

void EnvelopeEditor::SetText(std::string_view text) {
  const int remembered = selected_;
  nodes_ = ParseEnvelopeText(text);
  selected_ = remembered < static_cast<int>(nodes_.points.size()) ? remembered : -1;
}

Point EnvelopeEditor::PointAt(int index) const {
  const EnvelopeNode& n = nodes_.points[static_cast<std::size_t>(index)];
  return {PixelOf((double{n.time} + scroll_) * PixelsPerSecond()), PixelOf(HalfHeight() - n.level * HalfHeight())};
}

int EnvelopeEditor::HitPoint(Point p) const {
  for (int i = 0; i < static_cast<int>(nodes_.points.size()); ++i) {
    const Point at = PointAt(i);
    if (p.x >= at.x - 3 && p.x < at.x + 4 && p.y >= at.y - 3 && p.y < at.y + 4) return i;
  }
  return -1;
}

EnvelopeEditor::TimeScale EnvelopeEditor::Scale() const {
  const double p = PixelsPerSecond();
  TimeScale scale{0.1f, 1, "%2.1f"};
  if (p > 400) scale = {0.01f, 1, "%2.2f"};
  const double tickPixels = scale.step * p;
  const double ticks = std::min(std::floor(50.0 / tickPixels), 1.0e6);
  const int every = 5 * static_cast<int>(std::floor((ticks + 3) / 5));
  scale.labelEvery = std::max(every, 1);
  return scale;
}

unsigned EnvelopeEditor::Select(int index) {
  if (index == selected_) return kNothing;
  selected_ = index;
  return kPicture | kFields;
}

void EnvelopeEditor::MovePoint(int index, double time, double level) {
  auto& points = nodes_.points;
  const auto i = static_cast<std::size_t>(index);
  const bool last = i + 1 == points.size();
  const double earliest = i == 0 ? 0.0 : points[i - 1].time;
  const double latest = last ? EnvelopeNodes::kLatestTime : points[i + 1].time;
  if (std::isfinite(time)) points[i].time = static_cast<float>(std::clamp(time, earliest, latest));
  if (std::isfinite(level)) points[i].level = static_cast<float>(std::clamp(level, -1.0, 1.0));
  if (last) points[i].level = 0.0f;
}

void EnvelopeEditor::SetSpan(double span) {
  span_ = static_cast<float>(std::clamp(span, double{kShortestSpan}, double{kLongestSpan}));
}

void EnvelopeEditor::SetScroll(double scroll) {
  // Time 0 stays within 10 pixels of the left edge.
  scroll_ = static_cast<float>(std::clamp(scroll, -kFurthestScroll, span_ * 10.0 / Width()));
}

unsigned EnvelopeEditor::Press(Point p) {
  last_ = p;
  repeat_ = kNoRepeat;
  const int w = static_cast<int>(Width());
  if (const int hit = HitPoint(p); hit >= 0) {
    pointDrag_ = true;
    repeatStep_ = static_cast<float>(span_ * 5.0 / Width());
    return Select(hit);
  }
  if (p.y <= kZoomButtonHeight && p.x > w - kZoomButtonWidth) {
    repeat_ = p.x > w - kZoomButtonWidth / 2 ? kZoomOut : kZoomIn;
    return Tick();
  }
  scrollDrag_ = true;
  return kNothing;
}

unsigned EnvelopeEditor::Move(Point p) {
  const Point last = std::exchange(last_, p);
  if (scrollDrag_) {
    SetScroll(scroll_ + (p.x - last.x) * span_ / Width());
    return kPicture;
  }
  if (!pointDrag_ || !ValidSelection()) return kNothing;
  const int w = static_cast<int>(Width());
  repeat_ = p.x < kEdgeBand ? kScrollLeft : p.x >= w - kEdgeBand ? kScrollRight : kNoRepeat;
  const EnvelopeNode& n = nodes_.points[static_cast<std::size_t>(selected_)];
  MovePoint(selected_, p.x * span_ / Width() - scroll_, n.level - (p.y - last.y) / HalfHeight());
  return kPicture | kShape | kFields;
}

unsigned EnvelopeEditor::Release() {
  repeat_ = kNoRepeat;
  scrollDrag_ = false;
  if (!std::exchange(pointDrag_, false)) return kNothing;
  return kPicture | kStore;
}

unsigned EnvelopeEditor::Tick() {
  switch (repeat_) {
    case kNoRepeat: return kNothing;
    case kZoomOut: SetSpan(span_ * kZoomOutFactor); return kPicture;
    case kZoomIn: SetSpan(span_ * kZoomInFactor); return kPicture;
    case kScrollLeft:
    case kScrollRight: {
      if (!pointDrag_ || !ValidSelection()) return kNothing;
      EnvelopeNode& n = nodes_.points[static_cast<std::size_t>(selected_)];
      const float before = n.time;
      MovePoint(selected_, n.time + (repeat_ == kScrollLeft ? -repeatStep_ : repeatStep_), n.level);
      // The view follows by as much as the point moved, so it stays under the mouse.
      scroll_ = static_cast<float>(std::clamp(double{scroll_} - (n.time - before), -kFurthestScroll, kFurthestScroll));
      return n.time != before ? kPicture | kShape | kFields : kNothing;
    }
  }
  return kNothing;
}

unsigned EnvelopeEditor::Key(int key, std::uint32_t flags, bool& taken) {
  taken = false;
  if (flags & kKeyRepeat) return kNothing;
  const int count = static_cast<int>(nodes_.points.size());
  if (key == kKeyTab) {
    taken = true;
    if (count == 0) return kNothing;
    const bool back = (flags & (kShift | kControl)) != 0;
    const int from = ValidSelection() ? selected_ : back ? 0 : -1;
    return Select(((back ? from - 1 : from + 1) % count + count) % count);
  }
  double dt = 0, dl = 0;
  switch (key) {
    case kKeyLeft: dt = -span_ / Width(); break;
    case kKeyRight: dt = span_ / Width(); break;
    case kKeyUp: dl = 1.0 / HalfHeight(); break;
    case kKeyDown: dl = -1.0 / HalfHeight(); break;
    default: return kNothing;
  }
  taken = true;
  if (!ValidSelection()) return kNothing;
  const EnvelopeNode n = nodes_.points[static_cast<std::size_t>(selected_)];
  MovePoint(selected_, n.time + dt, n.level + dl);
  return kPicture | kShape | kFields | kStore;
}

ContextMenu EnvelopeEditor::MenuAt(Point p, unsigned& change) {
  change = kNothing;
  const int hit = HitPoint(p);
  if (hit < 0) return {};
  change = Select(hit);
  ContextMenu menu;
  if (hit + 1 < static_cast<int>(nodes_.points.size())) menu.push_back({kDelSegment, "Del Segment"});
  menu.push_back({kInsSegment, "Ins Segment"});
  menu.push_back({kSustainSeg, "Sustain Seg", hit == nodes_.sustain});
  return menu;
}

unsigned EnvelopeEditor::Command(int id) {
  if (!ValidSelection()) return kNothing;
  auto& points = nodes_.points;
  const int i = selected_;
  switch (id) {
    case kDelSegment:
      if (i + 1 >= static_cast<int>(points.size())) return kNothing;  // the last point stays
      points.erase(points.begin() + i);
      if (nodes_.sustain == i) nodes_.sustain = -1;
      else if (nodes_.sustain > i) --nodes_.sustain;
      break;  // the point that moved into its place is selected
    case kInsSegment: {
      if (static_cast<int>(points.size()) >= EnvelopeNodes::kMaxPoints) return kNothing;
      const EnvelopeNode before = i > 0 ? points[static_cast<std::size_t>(i) - 1] : EnvelopeNode{};
      const EnvelopeNode at = points[static_cast<std::size_t>(i)];
      points.insert(points.begin() + i, {(before.time + at.time) / 2, (before.level + at.level) / 2});
      if (nodes_.sustain >= i) ++nodes_.sustain;
      break;  // the new point is selected
    }
    case kSustainSeg: nodes_.sustain = nodes_.sustain == i ? -1 : i; break;
    default: return kNothing;
  }
  return kPicture | kShape | kFields | kStore;
}

std::string EnvelopeEditor::CurSegmentText() const { return ValidSelection() ? std::to_string(selected_) : std::string(); }

std::string EnvelopeEditor::SegmentRateText() const {
  if (!ValidSelection()) return {};
  const auto i = static_cast<std::size_t>(selected_);
  return FormatNumber("%.3f", nodes_.points[i].time - (i > 0 ? nodes_.points[i - 1].time : 0.0));
}

std::string EnvelopeEditor::SegmentLevelText() const {
  return ValidSelection() ? FormatNumber("%.2f", nodes_.points[static_cast<std::size_t>(selected_)].level * 10.0) : std::string();
}

unsigned EnvelopeEditor::SetCurSegment(std::string_view text) {
  double v = 0;
  if (!ReadTyped(text, v) || v < 0 || v >= static_cast<double>(nodes_.points.size()) || v != std::floor(v))
    return kFields;  // the field shows the selection again
  return Select(static_cast<int>(v)) | kFields;
}

unsigned EnvelopeEditor::SetSegmentRate(std::string_view text) {
  double v = 0;
  if (!ValidSelection() || !ReadTyped(text, v)) return kFields;
  const auto i = static_cast<std::size_t>(selected_);
  MovePoint(selected_, (i > 0 ? nodes_.points[i - 1].time : 0.0) + v, nodes_.points[i].level);
  return kPicture | kShape | kFields | kStore;
}

unsigned EnvelopeEditor::SetSegmentLevel(std::string_view text) {
  double v = 0;
  if (!ValidSelection() || !ReadTyped(text, v)) return kFields;
  MovePoint(selected_, nodes_.points[static_cast<std::size_t>(selected_)].time, v * 0.1);
  return kPicture | kShape | kFields | kStore;
}

}  // namespace kr::gui
