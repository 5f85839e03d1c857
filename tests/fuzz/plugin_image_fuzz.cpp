// libFuzzer target for the readers of plug-in images: the PE resource
// reader, the ELF section parser and both resource writers, which must
// refuse or succeed on any bytes without reading outside them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "formats/image/elf_image.h"
#include "formats/image/elf_section_writer.h"
#include "formats/image/pe_resource_reader.h"
#include "formats/image/pe_resource_writer.h"
#include "formats/image/scramble.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const std::uint8_t payload[] = {1, 2, 3, 4, 5};

  if (auto bytes = kr::packaging::ReadPeResource(file, "KR1", 165)) kr::Unscramble(*bytes);
  const auto withResource = kr::packaging::AddPeResource(file, "KR1", 165, payload);
  if (withResource.ok() && kr::packaging::ReadPeResource(withResource.image, "KR1", 165)->size() != sizeof payload)
    __builtin_trap();

  std::string error;
  (void)kr::packaging::ParseElfImage(file, error);
  const auto withSection = kr::packaging::AddElfSection(file, ".kr.KR1.165", payload);
  if (withSection.ok()) {
    const auto image = kr::packaging::ParseElfImage(withSection.image, error);
    if (!image || image->Find(".kr.KR1.165") == nullptr) __builtin_trap();
  }
  return 0;
}
