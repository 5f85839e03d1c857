// Where the kestrune program finds a plug-in when none is named.
#pragma once

#include <string>

namespace kr {

// The plug-in file built beside this program (Kestrune.so or Kestrune.dll).
std::string DefaultPluginPath();

}  // namespace kr
