#include "formats/archive/runtime_class.h"

namespace kr {

bool RuntimeClass::IsDerivedFrom(const RuntimeClass& other) const {
  for (const RuntimeClass* c = this; c; c = c->base)
    if (c == &other) return true;
  return false;
}

}  // namespace kr
