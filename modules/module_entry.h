// A registry entry for a module class that needs nothing but its name and
// flags (no description table, no GUI factory).
#pragma once

#include <cstdint>
#include <memory>

#include "registry/module_info.h"

namespace kr::modules {

template <class T>
std::unique_ptr<Module_Info> Entry(const char* name, std::int32_t flags = MF_STRUCTURE_VIEW) {
  return std::make_unique<Module_Info>(name, "", 0, 0, nullptr, AudioFactoryFor<T>, flags);
}

}  // namespace kr::modules
