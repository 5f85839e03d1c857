// Makes the plug-in's entry build the real application: linked into every
// binary that holds the core, it replaces the shell's default (which finds
// no document) before `main` can be called.
#include "document/app_vst.h"
#include "shell/application_factory.h"

namespace {

std::unique_ptr<KrApplication> MakeKestruneApplication() { return std::make_unique<CKestruneAppVST>(); }

[[maybe_unused]] const bool installed = (SetApplicationFactory(&MakeKestruneApplication), true);

}  // namespace
