// The flag words of the patch-memory modules' plugs.
#pragma once

#include <cstdint>

#include "registry/module_info.h"

namespace kr {

namespace patchmem_plugs {

inline constexpr std::uint32_t kGui = PF_GUI;
inline constexpr std::uint32_t kPatchValue = PF_GUI | PF_PATCH_VALUE;
inline constexpr std::uint32_t kPatchValueIn = PF_GUI | PF_PATCH_VALUE_IN;
inline constexpr std::uint32_t kHiddenPatchValueIn = PF_GUI | PF_HIDDEN | PF_PATCH_VALUE_IN;

}  // namespace patchmem_plugs

}  // namespace kr
