// The four-number range text of DT_AUDIO plugs, e.g. "100, 0, 10, 0": a
// slider wired to the plug takes the third number as its "Hi Value" and the
// fourth as its "Lo Value". The first two are kept but unused.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kr {

struct RangeText {
  // Numbers in text order; these defaults stand unless the text splits into
  // exactly four items.
  std::array<double, 4> numbers{100.0, 0.0, 10.0, 0.0};

  double HiValue() const { return numbers[2]; }
  double LoValue() const { return numbers[3]; }
  // As a connected slider writes them: "%.3f".
  std::string HiValueText() const;
  std::string LoValueText() const;
};

// Items are separated by a comma or a space; spaces after a separator are skipped.
RangeText ParseRangeText(std::string_view text);

// "%.3f", the form range values are written back as.
std::string FormatRangeValue(double value);

}  // namespace kr
