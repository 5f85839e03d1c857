// libFuzzer target for program and bank chunks (what a host hands back):
// any bytes load or leave everything as it was, and whatever loads writes a
// chunk that loads again. The subject has a patch parameter of every value
// type and two legacy controls.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "document/controls.h"
#include "document/patch_manager.h"
#include "patch/patch_memory.h"
#include "patch/program_chunk.h"
#include "platform/platform.h"

using namespace kr;

namespace {

struct Subject {
  Subject() {
    std::int32_t identifier = 0;
    for (std::int32_t type : {kr::PV_ENUM, kr::PV_TEXT, kr::PV_BOOL, kr::PV_FLOAT, kr::PV_INT}) {
      StoredPatchParameter p;
      p.typeNumber = type;
      p.identifier = identifier++;
      p.FillSlots(type == kr::PV_TEXT ? "name.wav" : "1");
      memory.AddParameter(std::move(p));
    }
    runtime = std::make_unique<kr::PatchMemory>(memory);
    number.key = 11;
    number.SetTitle("Number");
    list.key = 12;
    list.SetTitle("List");
  }
  kr::ChunkSubject View() { return {&memory, runtime.get(), kr::LegacyOrder({&number, &list})}; }

  CPatchManager memory;
  std::unique_ptr<kr::PatchMemory> runtime;
  CControl number{CControl::kClass, ControlValueType::Number};
  CControl list{CControl::kClass, ControlValueType::Integer};
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::SetMessageSink([](const platform::MessageBoxRequest&) {});
  return 0;
}

// A fresh subject's bank chunk, which must load into a fresh subject.
const std::vector<std::uint8_t>& FreshChunk() {
  static const std::vector<std::uint8_t> fresh = [] {
    std::vector<std::uint8_t> bytes = kr::WriteChunk(Subject().View(), false);
    Subject subject;
    if (kr::ReadChunk(subject.View(), bytes, false) != kr::ChunkReadResult::Loaded) std::abort();
    return bytes;
  }();
  return fresh;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using kr::ChunkReadResult;
  const std::vector<std::uint8_t>& fresh = FreshChunk();
  const std::span<const std::uint8_t> bytes(data, size);
  Subject subject;
  // As a bank, then as a program over what the bank left. Most inputs are
  // refused both times, so one chunk written at the end checks both refusals.
  const bool bankLoaded = kr::ReadChunk(subject.View(), bytes, false) == ChunkReadResult::Loaded;
  const std::vector<std::uint8_t> afterBank = bankLoaded ? kr::WriteChunk(subject.View(), false) : fresh;
  const bool programLoaded = kr::ReadChunk(subject.View(), bytes, true) == ChunkReadResult::Loaded;
  const std::vector<std::uint8_t> after = kr::WriteChunk(subject.View(), false);
  if (!programLoaded && after != afterBank) std::abort();  // refused, yet changed
  if (!bankLoaded && programLoaded) {
    // The program loaded over a refused bank: check that refusal alone.
    Subject alone;
    kr::ReadChunk(alone.View(), bytes, false);
    if (kr::WriteChunk(alone.View(), false) != fresh) std::abort();
  }
  // What loaded writes a chunk that loads again (the fresh one is known to).
  if (after != fresh && kr::ReadChunk(subject.View(), after, false) != ChunkReadResult::Loaded) std::abort();
  return 0;
}
