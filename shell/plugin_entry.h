// What the exported `main` does: check the host, build the effect object
// over an application from the given factory, and hand the host its AEffect
// record.
#pragma once

#include <atomic>

#include "app/kr_application.h"
#include "vst/vst2.h"

namespace kr {

// The full entry with its construction-failed flag given; tests use it with
// their own flag and factory. Null without a VST 2 host, without a factory,
// or when the effect object cannot be built.
vst::AEffect* CreateEffect(vst::audioMasterCallback audioMaster, std::atomic<bool>& constructionFailed,
                           ApplicationFactory makeApplication);

// The plug-in's entry: the process-wide construction-failed flag.
vst::AEffect* PluginMain(vst::audioMasterCallback audioMaster, ApplicationFactory makeApplication);

}  // namespace kr
