// A command line as a list of arguments: words separated by blanks, a
// double-quoted stretch kept as part of one word (the quotes removed), \"
// for a quote inside or outside one. Other backslashes are plain characters,
// so Windows paths need no doubling.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kr {

std::vector<std::string> SplitCommandLine(std::string_view line);

}  // namespace kr
