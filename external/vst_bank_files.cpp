#include "external/vst_bank_files.h"

#include <algorithm>

#include "external/vst_wrapper.h"
#include "formats/fxbank/fx_bank.h"

namespace kr {

namespace {

constexpr std::int32_t kAnyPluginId = 0x20202020;  // four spaces
constexpr std::int32_t kKestruneDataId = fxbank::FourCharacters('K', 'R', 'd', 't');

fxbank::Identity IdentityOf(VST_Wrapper& wrapper) { return {wrapper.UniqueId(), wrapper.Version()}; }

fxbank::ParameterProgram CurrentProgram(VST_Wrapper& wrapper, int exposed) {
  fxbank::ParameterProgram program;
  program.name = wrapper.GetProgramName();
  for (int p = 0; p < exposed; ++p) program.values.push_back(wrapper.GetParameter(p));
  return program;
}

void ApplyProgram(VST_Wrapper& wrapper, const fxbank::ParameterProgram& program, int exposed) {
  wrapper.SetProgramName(program.name);
  const std::size_t n = std::min(program.values.size(), static_cast<std::size_t>(std::max(exposed, 0)));
  for (std::size_t p = 0; p < n; ++p) wrapper.SetParameter(static_cast<int>(p), program.values[p]);
}

bool ChunkFileFits(std::int32_t fileId, std::int32_t pluginId) {
  return fileId == pluginId || fileId == kAnyPluginId || fileId == kKestruneDataId || pluginId == kKestruneDataId;
}

bool LoadParameterForm(VST_Wrapper& wrapper, std::span<const std::uint8_t> bytes, bool programOnly,
                       std::string& message) {
  const int exposed = wrapper.ExposedParameterCount();
  const std::int32_t id = wrapper.UniqueId();
  std::string reason;
  if (programOnly) {
    std::optional<fxbank::ParameterProgram> program = fxbank::ReadParameterProgram(bytes, reason);
    if (!program || program->fxId != id) {
      message = kNotCompatibleText;
      return false;
    }
    ApplyProgram(wrapper, *program, exposed);
    return true;
  }
  std::optional<fxbank::ParameterBank> bank = fxbank::ReadParameterBank(bytes, wrapper.NumPrograms(), reason);
  const bool fits = bank && bank->identity.fxId == id &&
                    std::all_of(bank->programs.begin(), bank->programs.end(),
                                [id](const fxbank::ParameterProgram& p) { return p.fxId == id; });
  if (!fits) {
    message = kNotCompatibleText;
    return false;
  }
  const int current = wrapper.GetProgram();
  for (std::size_t i = 0; i < bank->programs.size(); ++i) {
    wrapper.SetProgram(static_cast<int>(i));
    ApplyProgram(wrapper, bank->programs[i], exposed);
  }
  wrapper.SetProgram(current);
  return true;
}

bool LoadChunkForm(VST_Wrapper& wrapper, std::span<const std::uint8_t> bytes, bool programOnly,
                   std::string& message) {
  std::string reason;
  std::optional<fxbank::ChunkFile> file = fxbank::ReadChunkFile(bytes, !programOnly, reason);
  if (!file) {
    message = kNotCompatibleText;
    return false;
  }
  if (!ChunkFileFits(file->identity.fxId, wrapper.UniqueId())) {
    message = kNotCompatibleChunkText + fxbank::IdText(file->identity.fxId);
    return false;
  }
  if (programOnly) wrapper.SetProgramName(file->name);
  wrapper.SetChunk(file->chunk, programOnly);
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> SaveHostedPrograms(VST_Wrapper& wrapper, bool programOnly,
                                                            std::string& message) {
  if (!wrapper.Loaded()) return std::nullopt;
  const fxbank::Identity identity = IdentityOf(wrapper);
  if (wrapper.ProgramsAreChunks()) {
    const std::span<const std::uint8_t> chunk = wrapper.GetChunk(programOnly);
    if (chunk.empty()) {
      message = kSaveDisabledText;
      return std::nullopt;
    }
    if (programOnly) return fxbank::WriteChunkProgram(identity, wrapper.GetProgramName(), chunk);
    return fxbank::WriteChunkBank(identity, wrapper.NumPrograms(), chunk);
  }
  const int exposed = wrapper.ExposedParameterCount();
  if (programOnly) return fxbank::WriteParameterProgram(identity, CurrentProgram(wrapper, exposed));
  const int current = wrapper.GetProgram();
  std::vector<fxbank::ParameterProgram> programs;
  for (int i = 0; i < wrapper.NumPrograms(); ++i) {
    wrapper.SetProgram(i);
    programs.push_back(CurrentProgram(wrapper, exposed));
  }
  wrapper.SetProgram(current);
  return fxbank::WriteParameterBank(identity, wrapper.NumPrograms(), programs);
}

bool LoadHostedPrograms(VST_Wrapper& wrapper, std::span<const std::uint8_t> bytes, bool programOnly,
                        std::string& message) {
  if (!wrapper.Loaded()) return false;
  return wrapper.ProgramsAreChunks() ? LoadChunkForm(wrapper, bytes, programOnly, message)
                                     : LoadParameterForm(wrapper, bytes, programOnly, message);
}

}  // namespace kr
