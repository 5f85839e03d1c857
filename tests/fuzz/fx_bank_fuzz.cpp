// libFuzzer target for the VST bank and program file readers: any bytes are
// refused with a reason or read into programs whose values and chunk all lie
// in the bytes; what is read writes back to a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "formats/fxbank/fx_bank.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  std::string reason;
  if (auto bank = kr::fxbank::ReadParameterBank(bytes, 128, reason)) {
    std::size_t floats = 0;
    for (const auto& p : bank->programs) {
      floats += p.values.size();
      if (p.name.size() >= kr::fxbank::kNameBytes + 1) __builtin_trap();
    }
    if (floats * 4 > size) __builtin_trap();
  } else if (reason.empty()) {
    __builtin_trap();
  }
  reason.clear();
  if (auto program = kr::fxbank::ReadParameterProgram(bytes, reason)) {
    if (program->values.size() * 4 > size) __builtin_trap();
  } else if (reason.empty()) {
    __builtin_trap();
  }
  for (const bool bank : {false, true}) {
    reason.clear();
    auto file = kr::fxbank::ReadChunkFile(bytes, bank, reason);
    if (!file) {
      if (reason.empty()) __builtin_trap();
      continue;
    }
    if (file->chunk.size() > size) __builtin_trap();
    const auto written = bank ? kr::fxbank::WriteChunkBank(file->identity, file->count, file->chunk)
                              : kr::fxbank::WriteChunkProgram(file->identity, file->name, file->chunk);
    std::string again;
    auto reread = kr::fxbank::ReadChunkFile(written, bank, again);
    if (!reread || reread->chunk != file->chunk) __builtin_trap();
  }
  return 0;
}
