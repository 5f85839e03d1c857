// Shared by the external-module tests: our test libraries, their call logs,
// and plug-ins exported with a patch that uses them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "host/host_harness.h"
#include "support/environment_override.h"

using namespace kr;

namespace krtest {

namespace fs = std::filesystem;

// A test library as the build made it ("TestGain.krm", ...).
fs::path Built(const std::string& fileName);
// Copies a built library to folder (made when missing) under newName
// (its own name when empty) and answers the copy's path.
fs::path CopyBuilt(const std::string& fileName, const fs::path& folder, const std::string& newName = {});

// Keeps a library loaded while it lives: loading it again gives the copy
// already loaded (with its call log), and a copy held here outlives the
// plug-in's use of it.
class HeldLibrary {
 public:
  explicit HeldLibrary(const fs::path& library);
  ~HeldLibrary();
  HeldLibrary(const HeldLibrary&) = delete;
  HeldLibrary& operator=(const HeldLibrary&) = delete;
  void* Symbol(const char* name) const;

 private:
  void* handle_;
};

// The call log of the loaded library at path (the same copy the plug-in or
// the registry loaded), one entry per line; and clearing it.
std::vector<std::string> CallLog(const fs::path& library);
void ClearCallLog(const fs::path& library);

// The archive bytes of a patch text; module names are looked up in this
// process's registry, so the libraries they come from are registered first.
std::vector<std::uint8_t> CompilePatch(const std::string& json);

// Exports the built plug-in with a document as folder/name (stored resource).
fs::path ExportPlugin(const std::vector<std::uint8_t>& document, const fs::path& folder, const std::string& name);

// The folder beside a plug-in that its libraries and files default to.
fs::path FolderBeside(const fs::path& plugin);

// A patch in a top container "Synth": Left In through the module "id" (its
// plugs "in" and "out") to Left Out, Right In straight to Right Out.
std::string ChainPatch(const std::string& module, const std::string& in, const std::string& out,
                       const std::string& values = "{}", const std::string& embedded = "[]");

// Starts a loaded plug-in (48 kHz, blocks of 64) and runs one block of the
// given input ramp; answers both output channels.
struct Rendered {
  std::vector<float> left, right;
};
void StartSound(HostHarness& host);
Rendered RunRamp(HostHarness& host, std::span<const MidiAt> midi = {});
float RampInput(int channel, int frame);

// Points the per-user cache folder at folder while it lives.
class CacheFolderOverride : public krtest::EnvironmentOverride {
 public:
  explicit CacheFolderOverride(const fs::path& folder);
};

}  // namespace krtest
