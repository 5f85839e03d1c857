// The start-up list of the built-in modules. Whatever uses the module
// registry (the application, the tools, the tests) calls this first.
#pragma once

namespace kr {

// Registers every built-in module family in the process-wide registry, once;
// later calls do nothing. Call it on the thread that loads documents.
void RegisterBuiltinModules();

}  // namespace kr
