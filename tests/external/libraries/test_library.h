// What the test module libraries share: the export macro, their modules'
// records and a call log the tests read through an export of their own.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "external/module_library_abi.h"

using namespace kr;

#if defined(_WIN32)
#define KR_LIBRARY_EXPORT extern "C" __declspec(dllexport)
#else
#define KR_LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace testlib {

using namespace kr::modlib;

// Every module a library made lives until the library is unloaded (Kestrune
// sends no call that ends a module; a real library would keep a free list).
template <class Module>
Module* NewModule() {
  static std::vector<std::unique_ptr<Module>> modules;
  modules.push_back(std::make_unique<Module>());
  return modules.back().get();
}

// A second-interface record in the module's first words.
template <class Module>
Word* SecondRecord(Module* m, void* context, Dispatcher dispatcher, ProcessFunction process, EventFunction event) {
  m->words[second::kMagic] = kModuleMagic;
  m->words[second::kContext] = reinterpret_cast<Word>(context);
  m->words[second::kObjectWord] = reinterpret_cast<Word>(m);
  m->words[second::kDispatcher] = reinterpret_cast<Word>(dispatcher);
  m->words[second::kProcess] = reinterpret_cast<Word>(process);
  m->words[second::kEventFunction] = reinterpret_cast<Word>(event);
  return m->words;
}

inline std::string& Log() {
  static std::string log;
  return log;
}

template <class... Args>
void Note(const char* format, Args... args) {
  char line[160];
  std::snprintf(line, sizeof line, format, args...);
  Log() += line;
  Log() += '\n';
}

inline void FillPin(PinProperties* pin, void* variable, std::int32_t direction, std::int32_t type, const char* name,
                    const char* defaultText = "", std::int32_t flags = 0, const char* listText = "") {
  pin->variable = variable;
  pin->direction = direction;
  pin->dataType = type;
  pin->name = name;
  pin->defaultText = defaultText;
  pin->listText = listText;
  pin->flags = flags;
}

// Plug vocabulary numbers (a library has its own copy of them).
enum : std::int32_t { kIn = 0, kOut = 1, kParameter = 3 };
enum : std::int32_t { kText = 1, kMidi = 2, kAudio = 5, kFloat = 6 };

}  // namespace testlib

// The log, for the tests (also through the library's handle).
#define KR_TEST_LOG_EXPORTS                                                    \
  KR_LIBRARY_EXPORT const char* krTestLog() { return testlib::Log().c_str(); } \
  KR_LIBRARY_EXPORT void krTestClearLog() { testlib::Log().clear(); }

// "main" is the program entry's name in C++; the export gets it through an
// assembler label.
#define KR_LIBRARY_MAIN(function)                                                           \
  KR_LIBRARY_EXPORT testlib::Word* LibraryMainAlias(testlib::HostCallback) __asm__("main"); \
  KR_LIBRARY_EXPORT testlib::Word* LibraryMainAlias(testlib::HostCallback callback) { return function(callback); }
