// The message shown when the graph cannot be built.
#pragma once

#include <string>

#include "engine/kr_exception.h"

namespace kr {

std::string EngineErrorText(const KrException& error);

}  // namespace kr
