#include "registry/item_list.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace kr {

namespace {

constexpr std::string_view kRangePrefix = "range";

// strtol-like: leading spaces, optional sign, digits; 0 when there are none.
// Clamped to int so that walking on from the value cannot overflow.
std::int64_t ReadDecimal(const std::string& text, std::size_t from, std::size_t* end = nullptr) {
  const char* start = text.c_str() + std::min(from, text.size());
  char* stop = nullptr;
  long long v = std::strtoll(start, &stop, 10);
  if (end != nullptr) *end = static_cast<std::size_t>(stop - text.c_str());
  return std::clamp<long long>(v, INT_MIN, INT_MAX);
}

std::string Trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

}  // namespace

EnumListIterator::EnumListIterator(std::string_view listText) : text_(listText) {
  isRange_ = listText.starts_with(kRangePrefix);
  if (isRange_) {
    std::size_t end = 0;
    low_ = ReadDecimal(text_, kRangePrefix.size(), &end);
    const std::size_t comma = text_.find(',', end);
    high_ = comma == std::string::npos ? low_ : ReadDecimal(text_, comma + 1);
  }
  Reset();
}

void EnumListIterator::Reset() {
  index_ = -1;
  label_.clear();
  position_ = 0;
  value_ = isRange_ ? low_ - 1 : -1;
}

void EnumListIterator::First() {
  Reset();
  Next();
}

void EnumListIterator::Next() {
  ++index_;
  ++value_;
  if (isRange_) {
    if (value_ > high_) {
      index_ = -1;
      return;
    }
    label_ = std::to_string(value_);
    return;
  }
  if (position_ >= text_.size()) {
    index_ = -1;
    return;
  }
  std::size_t comma = text_.find(',', position_);
  if (comma == std::string::npos) comma = text_.size();
  const std::string_view item = std::string_view(text_).substr(position_, comma - position_);
  const std::size_t equals = item.find('=');
  if (equals != std::string_view::npos && equals > 0) {
    label_ = Trimmed(item.substr(0, equals));
    value_ = ReadDecimal(text_, position_ + equals + 1);
  } else {
    label_ = Trimmed(item);
  }
  position_ = comma + 1;
}

int EnumListIterator::CurrentValue() const { return static_cast<int>(std::clamp<std::int64_t>(value_, INT_MIN, INT_MAX)); }

int EnumListIterator::size() const {
  if (isRange_) return high_ < low_ ? 0 : static_cast<int>(std::min<std::int64_t>(high_ - low_ + 1, INT_MAX));
  // Items end at commas; a trailing comma starts no further item.
  int count = 0;
  for (std::size_t pos = 0; pos < text_.size();) {
    ++count;
    const std::size_t comma = text_.find(',', pos);
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return count;
}

std::string LabelOfValue(std::string_view listText, int value) {
  EnumListIterator it(listText);
  if (it.IsRange()) return std::to_string(value);
  for (it.First(); !it.IsDone(); it.Next())
    if (it.CurrentValue() == value) return it.CurrentLabel();
  return {};
}

bool IsValueInList(std::string_view listText, int value) {
  EnumListIterator it(listText);
  for (it.First(); !it.IsDone(); it.Next())
    if (it.CurrentValue() == value) return true;
  return false;
}

}  // namespace kr
