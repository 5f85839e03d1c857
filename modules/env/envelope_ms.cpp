#include "modules/env/envelope_ms.h"

#include <algorithm>
#include <cmath>

#include "registry/plug_declaration.h"

namespace kr {

void MultistageShape::Copy(std::span<const EnvelopePoint> from, Points& to) {
  to.count = static_cast<int>(std::min<std::size_t>(from.size(), kCapacity));
  std::copy_n(from.begin(), to.count, to.points.begin());
}

void MultistageShape::Set(std::span<const EnvelopePoint> points) { Copy(points, current_); }

bool MultistageShape::Publish(std::span<const EnvelopePoint> points) {
  if (pendingReady_.load(std::memory_order_acquire)) return false;
  Copy(points, pending_);
  pendingReady_.store(true, std::memory_order_release);
  return true;
}

bool MultistageShape::Adopt() {
  if (!pendingReady_.load(std::memory_order_acquire)) return false;
  current_ = pending_;
  pendingReady_.store(false, std::memory_order_release);
  return true;
}

ug_envelope_ms::ug_envelope_ms() : shape_(std::make_shared<MultistageShape>()) {
  // Until its control hands one over: the control's default shape.
  shape_->Set(EnvelopeShapeFromText(kDefaultEnvelopeText));
}

bool ug_envelope_ms::ReceiveShape(std::span<const EnvelopePoint> shape) {
  // The document's object may be a voice prototype that never opens while
  // its copies play: the engine runs when any of them is open.
  bool running = false;
  for (ug_base* m = this; m != nullptr; m = m->nextClone) running = running || (m->flags & UGF_OPEN) != 0;
  if (!running) {
    shape_->Set(shape);
    return true;
  }
  if (!shape_->Publish(shape)) return false;  // an earlier shape is still on its way; the control sends again
  for (ug_base* m = this; m != nullptr; m = m->nextClone)
    if ((m->flags & UGF_OPEN) != 0) m->PostNotify(kShapeChanged, 0);
  return true;
}

std::unique_ptr<ug_base> ug_envelope_ms::CreateSame() { return std::make_unique<ug_envelope_ms>(); }

std::unique_ptr<ug_base> ug_envelope_ms::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_envelope_ms&>(*copy).shape_ = shape_;
  return copy;
}

void ug_envelope_ms::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_envelope_ms> kPlugs[] = {
      {.at = PN_GATE,
       .name = "Gate",
       .defaultText = "1",
       .flags = PF_CONTROL,
       .hint = "Triggers the Attack phase when greater then 0 V "},
      {.at = PN_OVERALL,
       .name = "Overall Level",
       .defaultText = "10",
       .flags = PF_CONTROL,
       .hint = "Controls the overall output level.  Handy for adding Velocity sensitivity"},
      {.at = PN_OUT, .name = "Signal Out", .direction = DR_OUT, .defaultText = "0"},
      {.at = PN_IGNORE_PROGRAM_CHANGE,
       .name = "Ignore Program Change",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .hint = "Prevents this control responding to patch changes from 'Patch Select' module",
       .bind = &ug_envelope_ms::ignoreProgramChange_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_envelope_ms::ParseShape() {
  const std::span<const EnvelopePoint> points = shape_->Current().View();
  const int count = static_cast<int>(points.size());
  int end = count;
  int sustain = -1;
  for (int i = 0; i < count; ++i) {
    if (points[static_cast<std::size_t>(i)].kind == EnvelopePoint::kEnd) {
      end = i;
      break;
    }
    if (sustain < 0 && points[static_cast<std::size_t>(i)].kind == EnvelopePoint::kSustain) sustain = i;
  }
  // The engine has room for kMaxSegments segments before the end.
  end = std::min(end, kMaxSegments);
  // No mark: the last point holds (an empty shape holds nothing).
  if (sustain < 0 || sustain >= end) sustain = end > 0 ? end - 1 : kMaxSegments + 2;
  const double rate = SampleRate();
  segments_ = {};
  for (int i = 0; i <= end; ++i) {
    // The end segment falls at the end marker's rate (or the last point's).
    const int source = std::min(i, count - 1);
    Segment& s = segments_[static_cast<std::size_t>(i)];
    if (source < 0) {
      s.fixedStep = 1.0f;
      continue;
    }
    const EnvelopePoint& p = points[static_cast<std::size_t>(source)];
    s.fixedLevel = std::isfinite(p.level) ? p.level : 0.0f;
    const double step = std::fabs(static_cast<double>(p.rate)) / rate;
    // A rate of 0 (or garbage) would never arrive: such a segment jumps.
    s.fixedStep = step > 0.0 && std::isfinite(step) ? static_cast<float>(std::min(step, 1e6)) : 1.0f;
  }
  sustain_ = sustain;
  end_ = end;
}

void ug_envelope_ms::Open() {
  ParseShape();
  ug_envelope_base::Open();
}

void ug_envelope_ms::OnUiNotify(int kind, int value) {
  if (kind != kShapeChanged) {
    ug_envelope_base::OnUiNotify(kind, value);
    return;
  }
  shape_->Adopt();
  // Every voice copy plays the new shape from its next segment on.
  for (ug_base* m = this; m != nullptr; m = m->nextClone) {
    if (auto* env = dynamic_cast<ug_envelope_ms*>(m); env != nullptr && env->shape_ == shape_) {
      env->ParseShape();
      env->SegmentLayoutChanged(env->clock);
    }
  }
}

}  // namespace kr
