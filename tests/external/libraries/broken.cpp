// Libraries that break the interface, one per KR_BROKEN_* definition:
// a record with a wrong first word, no exports at all, a list of modules
// that never ends, and a list of pins that never ends.
#include "test_library.h"

using namespace kr;

using namespace testlib;

namespace {
[[maybe_unused]] Word g_record[first::kWords];
}  // namespace

#if defined(KR_BROKEN_WRONG_MAGIC)
KR_LIBRARY_EXPORT Word* makeModule(std::int32_t, std::int32_t, HostCallback, void*) {
  g_record[0] = 0x12345678;
  return g_record;
}
#elif defined(KR_BROKEN_NO_EXPORTS)
KR_LIBRARY_EXPORT int notAModuleLibrary() { return 0; }
#elif defined(KR_BROKEN_ENDLESS_MODULES)
KR_LIBRARY_EXPORT std::int32_t getModuleProperties(std::int32_t, ModuleProperties* properties) {
  properties->identifier = "Test Endless";
  return 1;
}
#elif defined(KR_BROKEN_ENDLESS_PINS)
namespace {
float g_variable;
Word Dispatch(Word*, std::int32_t opcode, std::int32_t, Word, void* pointer, float) {
  if (opcode == kOpIdentifier) {
    const char name[] = "Test Endless Pins";
    for (unsigned i = 0; i < sizeof name; ++i) static_cast<char*>(pointer)[i] = name[i];
  }
  if (opcode == kOpPinProperties) FillPin(static_cast<PinProperties*>(pointer), &g_variable, kIn, kFloat, "Again");
  return 1;  // to every question, forever
}
Word* EndlessMain(HostCallback) {
  g_record[0] = kModuleMagic;
  g_record[first::kDispatcher] = reinterpret_cast<Word>(&Dispatch);
  return g_record;
}
}  // namespace
KR_LIBRARY_MAIN(EndlessMain)
#endif
