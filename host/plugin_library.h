// Loading a VST 2 plug-in's library and finding its entry: "main", else
// "VSTPluginMain" (the name newer plug-ins export). Shared by every host in
// Kestrune: the harness of the tools and tests, and plug-ins hosted in a patch.
#pragma once

#include <string>

#include "platform/platform.h"
#include "vst/vst2.h"

namespace kr {

using PluginEntryFunction = vst::AEffect*(VSTCALLBACK*)(vst::audioMasterCallback);

struct PluginLibrary {
  enum class Outcome { Loaded, NoLibrary, NoEntry };
  Outcome outcome = Outcome::NoLibrary;
  // Loaded: the library (the caller frees it) and its entry. NoEntry: the
  // library has been freed again.
  platform::LibraryHandle library = nullptr;
  PluginEntryFunction entry = nullptr;
  std::string systemError;  // NoLibrary: the system's reason
};

PluginLibrary LoadPluginLibrary(const std::string& path);

}  // namespace kr
