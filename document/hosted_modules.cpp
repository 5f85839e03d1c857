#include "document/hosted_modules.h"

#include <atomic>

#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "platform/platform.h"
#include "registry/module_registry.h"

namespace kr {

const RuntimeClass CPlugin::kClass{"CPlugin", 1, false, &CUG::kClass, &MakePlain<CPlugin>};
const RuntimeClass CPlugin2::kClass{"CPlugin2", 1, false, &CPlugin::kClass, &MakePlain<CPlugin2>};
namespace {
std::atomic<Ctl_VST_Plugin::Maker> vstPluginMaker{nullptr};
std::unique_ptr<CObject> MakeVstPluginModule() {
  if (Ctl_VST_Plugin::Maker maker = vstPluginMaker.load(std::memory_order_acquire)) return maker();
  return std::make_unique<Ctl_VST_Plugin>();
}
}  // namespace

const RuntimeClass Ctl_VST_Plugin::kClass{"Ctl_VST_Plugin", 1, false, &CUG_with_patches::kClass,
                                          &MakeVstPluginModule};

void Ctl_VST_Plugin::SetMaker(Maker maker) { vstPluginMaker.store(maker, std::memory_order_release); }

void CPlugin::Load(ArchiveReader& ar) {
  LoadCugPart(ar);
  libraryFile = ar.ReadText();
  if (&Class() == &kClass) ResolveMissingModule();  // CPlugin2 does it after its own fields
}

void CPlugin::ResolveMissingModule() {
  if (Entry() != nullptr || UnresolvedEntryName().empty()) return;
  ModuleRegistry& registry = ModuleRegistry::Get();
  if (!libraryFile.empty() && registry.FindLibrary(libraryFile)) {
    if (Module_Info* found = registry.FindByName(UnresolvedEntryName())) {
      SetEntry(found);
      return;
    }
  }
  SetStandInEntry(registry.FindByName("Plugin"));
  platform::ShowMessageBox({"Can't load Module. '" + UnresolvedEntryName() + "'", {}, platform::MessageIcon::Warning});
}

void CPlugin::Store(ArchiveWriter& ar) const {
  StoreCugPart(ar);
  ar.WriteText(libraryFile);
}

void CPlugin2::Load(ArchiveReader& ar) {
  CPlugin::Load(ar);
  panelRect = ar.ReadRect();
  ResolveMissingModule();
}

void CPlugin2::Store(ArchiveWriter& ar) const {
  CPlugin::Store(ar);
  ar.WriteRect(panelRect);
}

namespace {
std::string FileNamePart(const std::string& path) {
  const auto cut = path.find_last_of('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::int32_t ReadCountWithin(ArchiveReader& ar, std::size_t bytesEach) {
  const std::int32_t n = ar.ReadInt32();
  if (n < 0 || static_cast<std::size_t>(n) > ar.Remaining() / bytesEach) throw ArchiveError("bad count");
  return n;
}
}  // namespace

void Ctl_VST_Plugin::Load(ArchiveReader& ar) {
  const int v = ar.Version();
  if (v >= 50) {
    LoadCugPart(ar);
  } else {
    SetEntryByName("VST Plugin");  // older documents store no module part
  }
  HostedPluginState& s = state;
  pluginPath = ar.ReadText();
  s.uniqueId = v >= 55 ? ar.ReadInt32() : 0;
  s.chunkFlag = ar.ReadInt32();
  s.parameterCount = ar.ReadInt32();
  s.programCount = ReadCountWithin(ar, 1);  // every program stores at least its name
  s.currentProgram = ar.ReadInt32();
  if (v >= 39 && s.chunkFlag != 0) s.bankChunk = ar.ReadSizedBytes();
  if (s.chunkFlag == 0 && (s.parameterCount < 0 ||
                           static_cast<std::uint64_t>(s.parameterCount) * static_cast<std::uint64_t>(s.programCount) >
                               ar.Remaining() / 4))
    throw ArchiveError("bad hosted parameter count");
  for (std::int32_t k = 0; k < s.programCount; ++k) {
    HostedProgram program;
    program.name = ar.ReadText();
    if (s.chunkFlag == 0) {
      for (std::int32_t p = 0; p < s.parameterCount; ++p) program.parameters.push_back(ar.ReadFloat());
    } else if (v < 39) {
      program.chunk = ar.ReadSizedBytes();
    }
    s.programs.push_back(std::move(program));
  }
  if (v >= 42) {
    const std::int32_t j = ReadCountWithin(ar, 4);
    for (std::int32_t i = 0; i < j; ++i) s.automationBindings.push_back(ar.ReadInt32());
  }
}

void Ctl_VST_Plugin::Store(ArchiveWriter& ar) const {
  const int v = ar.Version();
  const HostedPluginState s = StateToStore();
  if (v >= 50) StoreCugPart(ar);
  ar.WriteText(v < 55 ? FileNamePart(pluginPath) : pluginPath);
  if (v >= 55) ar.WriteInt32(s.uniqueId);
  ar.WriteInt32(s.chunkFlag);
  ar.WriteInt32(s.parameterCount);
  ar.WriteInt32(static_cast<std::int32_t>(s.programs.size()));
  ar.WriteInt32(s.currentProgram);
  if (v >= 39 && s.chunkFlag != 0) ar.WriteSizedBytes(s.bankChunk);
  for (const auto& program : s.programs) {
    ar.WriteText(program.name);
    if (s.chunkFlag == 0) {
      for (std::int32_t p = 0; p < s.parameterCount; ++p)
        ar.WriteFloat(static_cast<std::size_t>(p) < program.parameters.size() ? program.parameters[p] : 0.0f);
    } else if (v < 39) {
      ar.WriteSizedBytes(program.chunk);
    }
  }
  if (v >= 42) {
    ar.WriteInt32(static_cast<std::int32_t>(s.automationBindings.size()));
    for (auto b : s.automationBindings) ar.WriteInt32(b);
  }
}

}  // namespace kr
