#include "base/decimal_field.h"

#include <charconv>
#include <cmath>

namespace kr {

double ReadDecimalField(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // from_chars would also take "nan" and "inf": only digits and a point start a number.
  if (i >= text.size() || !((text[i] >= '0' && text[i] <= '9') || text[i] == '.')) return 0.0;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return 0.0;
  return negative ? -value : value;
}

}  // namespace kr
