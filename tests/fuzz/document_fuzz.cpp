// libFuzzer target for the document reader: any bytes must load or fail
// cleanly, and a document that loads must write back into one that loads.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "document/document_file.h"
#include "modules/builtin_modules.h"
#include "platform/platform.h"

using namespace kr;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::SetMessageSink([](const platform::MessageBoxRequest&) {});
  kr::RegisterBuiltinModules();  // documents resolve module names as the plug-in does
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  DocumentLoadResult restricted = ReadDocument(bytes, LoadMode::Restricted);
  DocumentLoadResult full = ReadDocument(bytes, LoadMode::Full);
  if (static_cast<bool>(restricted.document) != static_cast<bool>(full.document)) std::abort();
  if (full.document) {
    const std::vector<std::uint8_t> rewritten = WriteDocument(*full.document);
    DocumentLoadResult again = ReadDocument(rewritten, LoadMode::Full);
    if (!again.document) std::abort();
  }
  return 0;
}
