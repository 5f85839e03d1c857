// A decimal number read from a field of untrusted text, as atof reads one
// (leading blanks, a sign, digits, a point, an exponent), without locale.
#pragma once

#include <string_view>

namespace kr {

// The number at the start of text; anything else, and anything that is not
// finite ("nan", "inf", overflow), reads as 0.
double ReadDecimalField(std::string_view text);

}  // namespace kr
