#include "registry/range_text.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kr {

RangeText ParseRangeText(std::string_view text) {
  std::vector<std::string> items;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t cut = rest.find_first_of(", ");
    if (cut == std::string_view::npos) {
      items.emplace_back(rest);
      break;
    }
    items.emplace_back(rest.substr(0, cut));
    rest = rest.substr(cut + 1);
    const std::size_t next = rest.find_first_not_of(' ');
    rest = next == std::string_view::npos ? std::string_view{} : rest.substr(next);
  }
  RangeText range;
  if (items.size() == range.numbers.size())
    for (std::size_t i = 0; i < items.size(); ++i) range.numbers[i] = std::strtod(items[i].c_str(), nullptr);
  return range;
}

std::string FormatRangeValue(double value) {
  char text[352];  // room for the widest double in %.3f
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

std::string RangeText::HiValueText() const { return FormatRangeValue(HiValue()); }
std::string RangeText::LoValueText() const { return FormatRangeValue(LoValue()); }

}  // namespace kr
