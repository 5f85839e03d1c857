// The note events a voice list sends to a voice's note source carry value =
// channel, extra = note, and the velocity in the reference field; these
// helpers keep a 32-bit value in that pointer-sized field.
#pragma once

#include <cstdint>

namespace kr {

inline void* IntRef(int value) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(static_cast<std::uint32_t>(value)));
}
inline int RefInt(const void* ref) {
  return static_cast<int>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(ref)));
}

}  // namespace kr
