// The converters that compute one value from another: "Image to Frame",
// "Float To Bool", "Int to List", "Text To Float", "UiAnimationScaleDb" and
// "UiFloatScaler".
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "document/cug.h"
#include "document/ui/gui_side_logic.h"
#include "registry/interface_object.h"
#include "registry/item_list.h"

namespace kr::ui {

namespace {

// Sets a flag for the length of a scope: the module ignores what its own
// writes cause meanwhile.
class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

// "Image to Frame": an image's 0..1 position and the nearest frame number.
class ui_bitmap_frame final : public has_features {
 public:
  using has_features::has_features;

 private:
  enum : std::size_t { kPosition, kFrameCount, kFrameNumber };
  static constexpr FeatureSpec kFeatures[] = {{"Animation Position", DT_FLOAT, kValue},
                                              {"Frame Count", DT_INT, kValue},
                                              {"Frame Number", DT_INT, kLink}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void OnVariableChanged(std::size_t index) override {
    if (index != kPosition) return;  // a new frame count alone recomputes nothing
    const double frame = (static_cast<double>(Integer(kFrameCount)) - 1) * Number(kPosition) + 0.5;
    if (std::isfinite(frame) && std::fabs(frame) < 2e9) WriteInteger(kFrameNumber, static_cast<int>(frame));
  }
  void OnControlChanged(std::size_t index) override {
    if (index != kFrameNumber) return;
    // One frame, or none, spans nothing: divide by 1.
    const double span = static_cast<double>(Integer(kFrameCount)) - 1;
    SetNumber(kPosition, static_cast<float>(FarInteger(kFrameNumber)) / static_cast<float>(span > 0 ? span : 1));
  }
};

// "Float To Bool": above 0 is true; true is 10, false 0.
class ui_float_to_bool final : public has_features {
 public:
  using has_features::has_features;

 private:
  enum : std::size_t { kIn, kOut };
  static constexpr FeatureSpec kFeatures[] = {{"In", DT_FLOAT, kValue}, {"Out", DT_BOOL, kLink}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void Started() override { WriteBool(kOut, Number(kIn) > 0); }
  void OnVariableChanged(std::size_t index) override {
    if (index == kIn) WriteBool(kOut, Number(kIn) > 0);
  }
  void OnControlChanged(std::size_t index) override {
    if (index == kOut) SetNumber(kIn, FarBool(kOut) ? 10.0 : 0.0);
  }
};

// "Int to List": an integer and the position of the item holding it.
class ui_int_to_list final : public has_features {
 public:
  using has_features::has_features;

 private:
  enum : std::size_t { kIn, kOut };
  static constexpr FeatureSpec kFeatures[] = {{"In", DT_INT, kValue}, {"Out", DT_ENUM, kLink}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void Started() override { WritePosition(); }
  void OnVariableChanged(std::size_t index) override {
    if (index == kIn) WritePosition();
  }
  void OnControlChanged(std::size_t index) override {
    if (index != kOut) return;
    const int position = FarInteger(kOut);
    if (const auto range = RangeOf(FarItemList(kOut))) {
      if (position >= 0 && position < range->count) SetInteger(kIn, static_cast<int>(range->first + position));
      return;
    }
    EnumListIterator items(FarItemList(kOut));
    for (items.First(); !items.IsDone(); items.Next())
      if (items.CurrentIndex() == position) return SetInteger(kIn, items.CurrentValue());
  }
  void WritePosition() {
    const int value = Integer(kIn);
    if (const auto range = RangeOf(FarItemList(kOut))) {
      if (value >= range->first && value < range->first + range->count)
        WriteInteger(kOut, static_cast<int>(value - range->first));
      return;
    }
    EnumListIterator items(FarItemList(kOut));
    for (items.First(); !items.IsDone(); items.Next())
      if (items.CurrentValue() == value) return WriteInteger(kOut, items.CurrentIndex());
  }
};

// "Text To Float": a text read as a number, and a number shown as text.
class ui_text_to_float final : public has_features {
 public:
  using has_features::has_features;

  // n places after the point; -1 (auto) 4 below 0.1, 2 up to 10, else 1.
  static std::string Format(double value, int places) {
    if (places < 0) {
      const double magnitude = std::fabs(value);
      places = magnitude < 0.1 ? 4 : magnitude <= 10 ? 2 : 1;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::min(places, 10), value);
    return text;
  }

 private:
  enum : std::size_t { kValueLink, kText, kPlaces };
  static constexpr FeatureSpec kFeatures[] = {
      {"Value", DT_FLOAT, kLink},
      {"Text", DT_TEXT, kValue, "", 0, ""},
      {"Decimal Places", DT_ENUM, kValue, "<auto>=-1,0,1,2,3,4,5,6,7,8,9,10", 0, "-1"}};
  std::span<const FeatureSpec> Features() const override { return kFeatures; }

  void OnVariableChanged(std::size_t index) override {
    if (busy_) return;
    if (index == kText) {
      // Not a number (or not a finite one) reads as 0.
      WriteNumber(kValueLink, NumberOfText(Text(kText)));
    } else if (index == kPlaces) {
      ShowValue();
    }
  }
  void OnControlChanged(std::size_t index) override {
    if (index == kValueLink && !busy_) ShowValue();
  }
  void ShowValue() {
    if (!Attached(kValueLink)) return;
    BusyScope busy(busy_);
    SetText(kText, Format(FarNumber(kValueLink), Integer(kPlaces)));
  }
  bool busy_ = false;
};

// "UiAnimationScaleDb": a level in dB as the position of a VU-style meter.
class ui_animation_scaler_db final : public has_features {
 public:
  using has_features::has_features;

 private:
  void Started() override { OnControlChanged(Named("Db")); }
  void OnControlChanged(std::size_t index) override {
    if (index != Named("Db") || !Attached(index)) return;
    SetNumber(Named("Animation Position"), DbToPosition(FarNumber(index)));
  }
};

// "UiFloatScaler": Value Out = Value In x Multiply by + Add, both ways.
class ui_float_scaler final : public has_features {
 public:
  using has_features::has_features;

 private:
  void OnVariableChanged(std::size_t index) override {
    if (busy_ || index != Named("Value In")) return;
    BusyScope busy(busy_);
    WriteNumber(Named("Value Out"), Number(index) * Number(Named("Multiply by")) + Number(Named("Add")));
  }
  void OnControlChanged(std::size_t index) override {
    const double factor = Number(Named("Multiply by"));
    if (busy_ || index != Named("Value Out") || factor == 0) return;
    BusyScope busy(busy_);
    SetNumber(Named("Value In"), (FarNumber(index) - Number(Named("Add"))) / factor);
  }
  bool busy_ = false;
};

}  // namespace

double DbToPosition(double db) {
  double p = db >= -3 ? (db + 3) * 0.1 + 0.4 : db >= -8.75 ? (db + 7) * 0.05 + 0.2 : (db + 20) * 0.01;
  return std::isfinite(p) ? std::clamp(p, 0.0, 1.0) : 0.0;
}

std::unique_ptr<has_features> MakeValueConverter(CUG& module, std::string_view name) {
  if (name == "Image to Frame") return std::make_unique<ui_bitmap_frame>(module);
  if (name == "Float To Bool") return std::make_unique<ui_float_to_bool>(module);
  if (name == "Int to List") return std::make_unique<ui_int_to_list>(module);
  if (name == "Text To Float") return std::make_unique<ui_text_to_float>(module);
  if (name == "UiAnimationScaleDb") return std::make_unique<ui_animation_scaler_db>(module);
  if (name == "UiFloatScaler") return std::make_unique<ui_float_scaler>(module);
  return nullptr;
}

}  // namespace kr::ui
