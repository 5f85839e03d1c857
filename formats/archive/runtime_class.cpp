#include "formats/archive/runtime_class.h"

bool RuntimeClass::IsDerivedFrom(const RuntimeClass& other) const {
  for (const RuntimeClass* c = this; c; c = c->base)
    if (c == &other) return true;
  return false;
}
