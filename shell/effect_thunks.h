// The five entries of the AEffect record: each recovers the effect object from
// the record's object pointer and calls the operation of the same name.
#pragma once

#include "vst/vst2.h"

namespace kr {

void InstallEffectThunks(vst::AEffect& effect);

}  // namespace kr
