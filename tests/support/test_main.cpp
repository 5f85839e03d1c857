// The main of every test suite: the built-in modules are registered first,
// as the plug-in's start-up does, then the tests run.
#include <gtest/gtest.h>

#include "external/library_registration.h"
#include "modules/builtin_modules.h"

using namespace kr;

int main(int argc, char** argv) {
  kr::RegisterBuiltinModules();
  kr::RegisterExternalModules();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
