// "Multistage Env": an envelope whose segments are points drawn on the
// panel. All voices of one module share one shape; the panel control hands
// a new shape over without locks and then notifies the module (kind 7).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

#include "modules/env/envelope_base.h"
#include "registry/envelope_shape.h"

namespace kr {

class MultistageShape {
 public:
  static constexpr int kCapacity = 64;
  struct Points {
    std::array<EnvelopePoint, kCapacity> points{};
    int count = 0;
    std::span<const EnvelopePoint> View() const { return {points.data(), static_cast<std::size_t>(count)}; }
  };

  // While no engine runs (GUI thread): replaces the shape at once.
  void Set(std::span<const EnvelopePoint> points);
  // GUI thread while the engine runs: false while an earlier hand-over is
  // still waiting for the audio side (try again later). Points beyond the
  // capacity are dropped.
  bool Publish(std::span<const EnvelopePoint> points);
  // Audio thread: takes a waiting hand-over; true when the shape changed.
  bool Adopt();
  const Points& Current() const { return current_; }

 private:
  static void Copy(std::span<const EnvelopePoint> from, Points& to);

  Points current_;
  Points pending_;
  std::atomic<bool> pendingReady_{false};
};

class ug_envelope_ms : public ug_envelope_base, public EnvelopeShapeReceiver {
 public:
  enum PlugIndex { PN_GATE, PN_OVERALL, PN_OUT, PN_IGNORE_PROGRAM_CHANGE };
  static constexpr int kShapeChanged = 7;  // GUI notification kind

  ug_envelope_ms();
  std::unique_ptr<ug_base> CreateSame() override;
  // Voice copies share the prototype's shape.
  std::unique_ptr<ug_base> Clone() override;
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnUiNotify(int kind, int value) override;
  // The shape its panel control stores: taken at once before the module
  // opens, handed over and announced to every voice copy while it runs;
  // false while the last hand-over is still waiting for the audio side.
  bool ReceiveShape(std::span<const EnvelopePoint> shape) override;

  MultistageShape& Shape() { return *shape_; }

 private:
  void ParseShape();

  std::shared_ptr<MultistageShape> shape_;
  bool ignoreProgramChange_ = false;
};

}  // namespace kr
