// libFuzzer target for the patch text compiler: any text must compile or be
// refused with a PatchTextError (never another exception or a crash), and a
// compiled document must write into one that loads. Files the text names are
// looked for in a folder that holds none.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "document/document_file.h"
#include "modules/builtin_modules.h"
#include "patchtext/patch_compiler.h"
#include "patchtext/patch_text_error.h"
#include "platform/platform.h"

using namespace kr;

namespace {
std::filesystem::path emptyFolder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::SetMessageSink([](const platform::MessageBoxRequest&) {});
  kr::RegisterBuiltinModules();
  emptyFolder = std::filesystem::temp_directory_path() / "kestrune-patchtext-fuzz";
  std::error_code ec;
  std::filesystem::create_directories(emptyFolder, ec);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const std::vector<std::uint8_t> bytes = patchtext::CompilePatchTextToBytes(text, emptyFolder);
    if (!ReadDocument(bytes, LoadMode::Full).document) std::abort();
  } catch (const patchtext::PatchTextError&) {
    // refused, with its line
  }
  return 0;
}
