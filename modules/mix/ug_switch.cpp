#include "modules/mix/ug_switch.h"

std::unique_ptr<ug_base> ug_switch::CreateSame() { return std::make_unique<ug_switch>(); }

void ug_switch::ListInterface(InterfaceList& list) { ug_base::ListInterface(list); }
