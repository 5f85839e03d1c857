// Where files of a given type live by default. The module registry's
// file-type table answers this (plug-in folder + plug-in name + separator for
// every row); code here takes it as a function so it does not depend on the
// registry itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kr {

// Given an extension without the dot, returns the default folder, ending in
// a folder separator.
using DirectoryForExtension = std::function<std::string(std::string_view extension)>;

}  // namespace kr
