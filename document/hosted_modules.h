// Modules whose code lives outside the plug-in: external module libraries
// (CPlugin, CPlugin2) and hosted VST plug-ins (Ctl_VST_Plugin). Their stored
// state is kept here; loading the code belongs to the external-code layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/cug.h"

namespace kr {

// A module from an external library. When no registry entry provides the
// stored name (after looking for the library the document names), the
// module stands on the "Plugin" entry, keeps its plugs and wires, and writes
// its stored name back unchanged.
class CPlugin : public CUG {
 public:
  static const RuntimeClass kClass;
  CPlugin() = default;
  CPlugin(Module_Info* entry, std::string library) : CUG(entry), libraryFile(std::move(library)) {}
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  std::string libraryFile;

 protected:
  // After the stored fields are read: resolves a missing module as above.
  void ResolveMissingModule();
};

class CPlugin2 : public CPlugin {
 public:
  static const RuntimeClass kClass;
  CPlugin2() = default;
  CPlugin2(Module_Info* entry, std::string library) : CPlugin(entry, std::move(library)) {}
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect panelRect{};
};

// One stored program of a hosted plug-in.
struct HostedProgram {
  std::string name;
  std::vector<float> parameters;    // chunk flag 0
  std::vector<std::uint8_t> chunk;  // chunk flag set, documents before version 39
  bool operator==(const HostedProgram&) const = default;
};

// What a "VST Plugin" module stores of its hosted plug-in.
struct HostedPluginState {
  std::int32_t uniqueId = 0;
  std::int32_t chunkFlag = 0;
  std::int32_t parameterCount = 0;
  std::int32_t programCount = 0;
  std::int32_t currentProgram = 0;
  std::vector<std::uint8_t> bankChunk;  // version 39 on, chunk flag set
  std::vector<HostedProgram> programs;
  std::vector<std::int32_t> automationBindings;  // version 42 on; high and low 16-bit halves
};

// A module hosting another VST plug-in. This class keeps what the document
// stores; the external-code layer makes a class derived from it (through
// SetMaker) that loads and runs the plug-in.
class Ctl_VST_Plugin : public CUG_with_patches {
 public:
  static const RuntimeClass kClass;
  using Maker = std::unique_ptr<CObject> (*)();
  // What documents make for a stored Ctl_VST_Plugin from now on (null: this class).
  static void SetMaker(Maker maker);

  Ctl_VST_Plugin() = default;
  explicit Ctl_VST_Plugin(Module_Info* entry) : CUG_with_patches(entry) {}
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  // The bank and program file commands of the panel's patch-selection bar
  // (kLoadBankCommand ... kSaveProgramCommand); false when the module does
  // nothing with them (no plug-in).
  static constexpr int kLoadBankCommand = 34909, kSaveBankCommand = 34910, kLoadProgramCommand = 34911,
                       kSaveProgramCommand = 34912;
  virtual bool RunFileCommand(int /*command*/) { return false; }
  // The plug-in's own editor, for the module's panel: whether it has one,
  // its size, and opening it in a child of our window at (x, y).
  virtual bool HasHostedEditor() const { return false; }
  virtual std::pair<int, int> HostedEditorSize() const { return {0, 0}; }
  virtual bool OpenHostedEditor(void* /*parentWindow*/, int /*x*/, int /*y*/) { return false; }
  virtual void CloseHostedEditor() {}

  std::string pluginPath;  // before version 55 only the file name is stored
  HostedPluginState state;

 protected:
  // The state Store writes: the stored one, or what a loaded plug-in holds now.
  virtual HostedPluginState StateToStore() const { return state; }
};

}  // namespace kr
