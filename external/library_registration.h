// Registering module libraries: every module a library offers becomes a
// registry entry. Libraries come from the folder beside the plug-in, from
// the document's embedded files, and from the file name a document module
// stores. Any plug-in copy in the process may register at start-up; a
// library registered once (by path) is not read again.
#pragma once

#include <string>
#include <string_view>

namespace kr {

// Once per process, after the built-in modules: the "Plugin" entry that
// stands in for a module no library provides, and the lookup a document
// uses for the library its module names.
void RegisterExternalModules();

// One file. ".dll", ".kr1" and ".so" files are only listed (hosted plug-ins
// use them); ".krm" and ".krp" files are loaded and their modules
// registered; any other file is ignored. Problems are shown to the user.
void RegisterModuleLibrary(const std::string& path);

// Every such file directly in folder, in name order.
void RegisterModuleLibraries(const std::string& folder);

// For a document module's stored library name ("C:\x\Gain.krm" or
// "x/Gain.krm"): registers the library of that file name from the library
// folder, or from the stored path itself. False when none is found.
bool FindModuleLibrary(std::string_view storedLibraryFile);

}  // namespace kr
