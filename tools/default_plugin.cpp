#include "tools/default_plugin.h"

#include "platform/platform.h"

namespace kr {

#ifndef KR_DEFAULT_PLUGIN_NAME
#define KR_DEFAULT_PLUGIN_NAME "Kestrune.so"
#endif

std::string DefaultPluginPath() {
  const std::string self = platform::ModulePath();
  const std::size_t slash = self.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? std::string(".") : self.substr(0, slash);
  return dir + platform::PathSeparator() + KR_DEFAULT_PLUGIN_NAME;
}

}  // namespace kr
