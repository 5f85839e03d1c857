// The note events a voice list sends to a voice's note source: value =
// channel, extra = note, and the velocity carried in the reference field.
#pragma once

#include <cstdint>

inline void* VelocityRef(int velocity) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(velocity)); }
inline int RefVelocity(const void* ref) { return static_cast<int>(reinterpret_cast<std::intptr_t>(ref)); }
