// The plug-in's exported entry. Hosts look for "main" (the name every VST 2
// host knows) or "VSTPluginMain"; both lead to the same function, which
// builds the effect object over the plug-in's application.
#include "app/kestrune_application.h"
#include "shell/plugin_entry.h"
#include "vst/vst2.h"

using namespace kr;

#if defined(_WIN32)
#define KR_EXPORT extern "C" __declspec(dllexport)
#else
#define KR_EXPORT extern "C" __attribute__((visibility("default")))
#endif

KR_EXPORT vst::AEffect* VSTCALLBACK VSTPluginMain(vst::audioMasterCallback audioMaster) {
  return PluginMain(audioMaster, &kr::MakeKestruneApplication);
}

#if !defined(_WIN32)
// C++ reserves the name main for the program entry, so the ELF symbol is
// given through an assembler label instead. (Windows exports it via the .def file.)
extern "C" __attribute__((visibility("default"))) vst::AEffect* VstMainAlias(vst::audioMasterCallback)
    __asm__("main");
extern "C" vst::AEffect* VstMainAlias(vst::audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }
#endif
