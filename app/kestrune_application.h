// The factory of the plug-in's own application, which the plug-in's entry
// passes to the shell.
#pragma once

#include <memory>

#include "app/kr_application.h"

namespace kr {

std::unique_ptr<KrApplication> MakeKestruneApplication();

}  // namespace kr
