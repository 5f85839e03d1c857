// Kestrune's own skin "default": its files (assets/skins/default/), compiled
// into the program.
#pragma once

#include <span>

#include "base/embedded_blob.h"

namespace kr::skin {

std::span<const kr::EmbeddedBlob> DefaultSkinFiles();

}  // namespace kr::skin
