// What the multistage envelope's editor does, apart from drawing: its points
// (from and to the stored text), the view (time span, scroll, repeating
// zoom and scroll), the gestures of the mouse and keys, the point menu and
// the three segment fields ("Cur Segment", "Segment Rate", "Segment Level").
// Each gesture reports what it changed; the panel repaints, hands the shape
// to the audio side and stores the text accordingly. Pictures of any size,
// even 0 pixels, are safe: widths and half heights count as at least 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gui/draw/geometry.h"
#include "gui/visual/context_menu.h"
#include "registry/envelope_shape.h"

namespace kr::gui {

class EnvelopeEditor {
 public:
  static constexpr float kInitialSpan = 3.0f;
  static constexpr float kShortestSpan = 0.001f;
  static constexpr float kLongestSpan = 1000.0f;
  static constexpr int kEdgeBand = 10;  // pixels at each side that scroll while a point is dragged
  enum Repeat { kNoRepeat, kZoomOut, kZoomIn, kScrollLeft, kScrollRight };
  enum CommandId { kDelSegment = 34985, kInsSegment = 34986, kSustainSeg = 34987 };
  // What a call changed.
  enum Change : unsigned {
    kNothing = 0,
    kPicture = 1,  // repaint
    kShape = 2,    // hand the shape to the audio side
    kStore = 4,    // store the text
    kFields = 8,   // the segment fields show other values
  };
  // The time scale along the middle line.
  struct TimeScale {
    float step;          // seconds between ticks
    int labelEvery;      // every how many ticks a label stands
    const char* format;  // of the labels
  };

  EnvelopeEditor() { SetText({}); }

  // The stored text (empty: the default shape). The selected point stays
  // selected by its position in the list when there is still one there.
  void SetText(std::string_view text);
  std::string Text() const { return EnvelopeTextOf(nodes_); }
  std::vector<EnvelopePoint> Shape() const { return EnvelopeShapeOf(nodes_); }
  const EnvelopeNodes& Nodes() const { return nodes_; }
  int Selected() const { return selected_; }

  // The picture's size, before each gesture and drawing.
  void SetSize(Size size) { size_ = size; }
  float Span() const { return span_; }
  float Scroll() const { return scroll_; }
  Repeat RepeatMode() const { return repeat_; }
  bool DraggingPoint() const { return pointDrag_; }
  // Pixels per second, and where a point is drawn.
  double PixelsPerSecond() const { return Width() / span_; }
  Point PointAt(int index) const;
  // The first point whose 7 x 7 box (from 3 pixels up and left) holds p; -1 for none.
  int HitPoint(Point p) const;
  TimeScale Scale() const;

  unsigned Press(Point p);
  unsigned Move(Point p);
  unsigned Release();
  // A panel refresh: the held zoom or the scroll at an edge steps once.
  unsigned Tick();
  // Tab, Shift/Ctrl+Tab and the arrow keys; taken reports whether the key was ours.
  unsigned Key(int key, std::uint32_t flags, bool& taken);
  // The point menu: the point under p becomes the selected one.
  ContextMenu MenuAt(Point p, unsigned& change);
  unsigned Command(int id);

  // The segment fields; typed values keep to the drag limits, and texts
  // that are no finite number change nothing.
  std::string CurSegmentText() const;
  std::string SegmentRateText() const;
  std::string SegmentLevelText() const;
  unsigned SetCurSegment(std::string_view text);
  unsigned SetSegmentRate(std::string_view text);
  unsigned SetSegmentLevel(std::string_view text);

 private:
  double Width() const { return size_.width > 1 ? size_.width : 1.0; }
  double HalfHeight() const { return size_.height >= 2 ? size_.height / 2.0 : 1.0; }
  unsigned Select(int index);
  // Moves point i within the drag limits: between its neighbours' times
  // (0 before the first, 999 after the last), level -1 .. 1, the last at 0.
  void MovePoint(int index, double time, double level);
  void SetSpan(double span);
  void SetScroll(double scroll);
  bool ValidSelection() const { return selected_ >= 0 && selected_ < static_cast<int>(nodes_.points.size()); }

  EnvelopeNodes nodes_;
  int selected_ = -1;
  Size size_{100, 50};
  float span_ = kInitialSpan;
  float scroll_ = 0.0f;
  Repeat repeat_ = kNoRepeat;
  float repeatStep_ = 0.0f;
  Point last_{};
  bool pointDrag_ = false;
  bool scrollDrag_ = false;
};

}  // namespace kr::gui
