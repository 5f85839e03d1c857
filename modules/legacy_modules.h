// The fixed table of the oldest modules. Documents of version 78 and older
// name a module by its 1-based position here, so order and names never change.
#pragma once

class ModuleRegistry;

// Registers the table; module numbers are the positions. Called by the
// registry itself before any other registration.
void RegisterLegacyModules(ModuleRegistry& registry);
