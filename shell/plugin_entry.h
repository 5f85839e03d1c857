// What the exported `main` does: check the host, build the effect object,
// and hand the host its AEffect record.
#pragma once

#include <atomic>

#include "shell/application_factory.h"
#include "vst/vst2.h"

// The full entry with its construction-failed flag and application factory
// given; tests use it with their own flag and factory.
vst::AEffect* CreateEffect(vst::audioMasterCallback audioMaster, std::atomic<bool>& constructionFailed,
                           ApplicationFactory makeApplication);

// The plug-in's entry: the process-wide flag and the installed factory.
vst::AEffect* PluginMain(vst::audioMasterCallback audioMaster);
