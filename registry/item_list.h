// Item lists of DT_ENUM plugs. Two text forms:
//   "range 0,7"              the integers low..high, each labelled in decimal;
//   "None=10,0=0,1,2"        labels, optionally "=value"; an item without a
//                            value takes the previous value plus one (first: 0).
// "{AUTO}" marks a list taken from the plug at the other end of a wire.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kr {

// Walks the items of a list text: for (it.First(); !it.IsDone(); it.Next()).
class EnumListIterator {
 public:
  explicit EnumListIterator(std::string_view listText);

  void First();  // reset, then step to the first item
  void Next();
  bool IsDone() const { return index_ < 0; }

  int CurrentIndex() const { return index_; }
  int CurrentValue() const;
  const std::string& CurrentLabel() const { return label_; }

  bool IsRange() const { return isRange_; }
  // The number of items the walk yields.
  int size() const;

 private:
  void Reset();

  std::string text_;
  bool isRange_ = false;
  std::int64_t low_ = 0;
  std::int64_t high_ = 0;

  int index_ = -1;
  std::int64_t value_ = -1;
  std::string label_;
  std::size_t position_ = 0;
};

inline constexpr std::string_view kAutoListText = "{AUTO}";
inline bool IsAutoList(std::string_view listText) { return listText == kAutoListText; }

// The label of a value: for a range, the value in decimal; for a list, the
// first item with that value, or empty text.
std::string LabelOfValue(std::string_view listText, int value);
bool IsValueInList(std::string_view listText, int value);

}  // namespace kr
