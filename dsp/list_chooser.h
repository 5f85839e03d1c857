// "Voltage To List": which of n list items a voltage picks (0 V the first,
// 10 V the last), with a band around the choice so that a voltage near a
// boundary does not flip between two items.
#pragma once

#include <limits>

namespace kr::dsp {

struct ListChooser {
  int count = 0;    // n; with no items nothing is ever chosen
  int chosen = -1;  // -1 before the first choice
  float below = 0.0f;
  float above = 0.0f;

  // Whether x needs a new choice (always before the first one).
  bool Leaves(float x) const { return count > 0 && (chosen < 0 || !(x > below && x < above)); }

  // d = floor((n - 1) x + 0.5), kept in 0 ... n - 1 before it becomes an
  // integer; the band ((d - 1/3) / n, (d + 4/3) / n) is open at the ends.
  int Choose(float x) {
    if (count <= 0) return chosen = -1;
    const float last = static_cast<float>(count - 1);
    const float position = last * x + 0.5f;
    int d = 0;
    if (position >= last) {
      d = count - 1;
    } else if (position >= 1.0f) {
      d = static_cast<int>(position);
    }
    const float n = static_cast<float>(count);
    below = d == 0 ? -std::numeric_limits<float>::infinity() : (static_cast<float>(d) - 1.0f / 3.0f) / n;
    above = d == count - 1 ? std::numeric_limits<float>::infinity() : (static_cast<float>(d) + 4.0f / 3.0f) / n;
    return chosen = d;
  }
};

}  // namespace kr::dsp
