#include "host/plugin_library.h"

namespace kr {

PluginLibrary LoadPluginLibrary(const std::string& path) {
  PluginLibrary result;
  result.library = platform::LoadLibrary(path);
  if (result.library == nullptr) {
    result.systemError = platform::LastLibraryError();
    return result;
  }
  void* symbol = platform::LibrarySymbol(result.library, "main");
  if (symbol == nullptr) symbol = platform::LibrarySymbol(result.library, "VSTPluginMain");
  if (symbol == nullptr) {
    platform::FreeLibrary(result.library);
    result.library = nullptr;
    result.outcome = PluginLibrary::Outcome::NoEntry;
    return result;
  }
  result.entry = reinterpret_cast<PluginEntryFunction>(symbol);
  result.outcome = PluginLibrary::Outcome::Loaded;
  return result;
}

}  // namespace kr
