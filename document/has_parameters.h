// Lookup of an object's named parameters (a module's "Title", a container's
// "Skin", "Program" and "Program Name"). These are not host parameters.
#pragma once

#include <string_view>

#include "document/generic_parameter.h"

namespace kr {

class HasParameters {
 public:
  virtual ~HasParameters() = default;
  virtual int ParameterCount() const { return 0; }
  // Null for an index outside 0..count-1.
  virtual generic_parameter* ParameterAt(int /*index*/) const { return nullptr; }

  // The first parameter with this name, or null.
  generic_parameter* FindParameter(std::string_view name) const {
    for (int i = 0; i < ParameterCount(); ++i)
      if (generic_parameter* p = ParameterAt(i); p != nullptr && p->Name() == name) return p;
    return nullptr;
  }
};

}  // namespace kr
