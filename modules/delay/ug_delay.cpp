#include "modules/delay/ug_delay.h"

std::unique_ptr<ug_base> ug_delay::CreateSame() { return std::make_unique<ug_delay>(); }

void ug_delay::ListInterface(InterfaceList& list) { ug_base::ListInterface(list); }
