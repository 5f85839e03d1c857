#include "document/generic_parameter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>

#include "registry/item_list.h"
#include "registry/plug_types.h"

namespace kr {

namespace {

// The items of a list text by position. Ranges are computed, not walked:
// their lists may span the whole integer range.
class ItemView {
 public:
  struct Item {
    int value = 0;
    std::string label;
  };
  explicit ItemView(std::string_view listText) : walk_(listText) {
    count = walk_.size();
    walk_.First();
    low_ = walk_.IsDone() ? 0 : walk_.CurrentValue();
  }

  // Position of the first item with this value, or -1.
  int PositionOf(int value) {
    if (walk_.IsRange()) {
      const std::int64_t position = std::int64_t{value} - low_;
      return position >= 0 && position < count ? static_cast<int>(position) : -1;
    }
    for (walk_.First(); !walk_.IsDone(); walk_.Next())
      if (walk_.CurrentValue() == value) return walk_.CurrentIndex();
    return -1;
  }
  // The item at a position, held to the list; none for an empty list.
  std::optional<Item> At(int position) {
    if (count < 1) return std::nullopt;
    position = std::clamp(position, 0, count - 1);
    if (walk_.IsRange()) {
      const int value = static_cast<int>(std::int64_t{low_} + position);
      return Item{value, std::to_string(value)};
    }
    for (walk_.First(); !walk_.IsDone(); walk_.Next())
      if (walk_.CurrentIndex() == position) return Item{walk_.CurrentValue(), walk_.CurrentLabel()};
    return std::nullopt;
  }

  int count = 0;

 private:
  EnumListIterator walk_;
  int low_ = 0;
};

// Host and panel values are untrusted: NaN reads as 0, the rest is held to 0..1.
float Unit(float x) { return std::isnan(x) ? 0.0f : std::clamp(x, 0.0f, 1.0f); }

}  // namespace

int ParameterTextToInt(std::string_view text) {
  const std::string copy(text);
  const long long v = std::strtoll(copy.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

generic_parameter::~generic_parameter() { Notify(NC_PARAMETER_GONE); }

float generic_parameter::NormalisedValue() const {
  switch (DataType()) {
    case DT_ENUM: {
      ItemView items(ItemList());
      if (items.count < 2) return 0.0f;
      const int position = items.PositionOf(ParameterTextToInt(ValueText()));
      return position < 0 ? 0.0f : static_cast<float>(position) / static_cast<float>(items.count - 1);
    }
    case DT_DOUBLE:
      return static_cast<float>(std::atof(ValueText().c_str()) * 0.1);
    case DT_BOOL:
      return ValueText() == "1" ? 1.0f : 0.0f;
    default:
      return 0.0f;
  }
}

void generic_parameter::SetNormalisedValue(float x) {
  x = Unit(x);
  switch (DataType()) {
    case DT_ENUM: {
      ItemView items(ItemList());
      if (items.count < 1) return;
      // The same bins as the display of x (and the host and audio sides):
      // item floor(K x), the last one for x = 1.
      if (const auto item = items.At(static_cast<int>(std::floor(static_cast<double>(items.count) * x))))
        SetValueText(std::to_string(item->value));
      return;
    }
    case DT_BOOL:
      // Half way is true, as for host values and MIDI controllers.
      SetValueText(x >= 0.5f ? "1" : "0");
      return;
    default:
      return;  // numbers and the other types do not follow a normalised value
  }
}

std::string generic_parameter::DisplayTextFor(float x) const {
  x = Unit(x);
  switch (DataType()) {
    case DT_ENUM: {
      ItemView items(ItemList());
      const auto item = items.At(static_cast<int>(std::floor(static_cast<double>(items.count) * x)));
      return item ? item->label : std::string();
    }
    case DT_BOOL:
      return x >= 0.5f ? "true" : "false";
    default:
      return ValueText();
  }
}

std::string generic_parameter::DisplayText() const {
  switch (DataType()) {
    case DT_ENUM: {
      ItemView items(ItemList());
      const int position = items.PositionOf(ParameterTextToInt(ValueText()));
      const auto item = position < 0 ? std::nullopt : items.At(position);
      return item ? item->label : std::string();
    }
    case DT_BOOL:
      return ValueText() == "1" ? "true" : "false";
    default:
      return ValueText();
  }
}

void generic_parameter::FillRandom(std::span<float> values, std::uint32_t& randomState) const {
  if (DataType() != DT_DOUBLE) return;
  std::minstd_rand random(randomState);
  std::uniform_real_distribution<float> range(0.0f, 10.0f);
  for (float& v : values) v = std::min(range(random), 10.0f);
  randomState = static_cast<std::uint32_t>(random());
}

std::vector<float> generic_parameter::MakeGeneticValues() const {
  if (DataType() != DT_DOUBLE) return {};
  return {static_cast<float>(std::atof(ValueText().c_str()))};
}

int generic_parameter::FirstItemValue() const {
  const auto item = ItemView(ItemList()).At(0);
  return item ? item->value : 0;
}

int generic_parameter::LastItemValue() const {
  ItemView items(ItemList());
  const auto item = items.At(items.count - 1);
  return item ? item->value : 0;
}

}  // namespace kr
