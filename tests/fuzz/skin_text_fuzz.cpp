// libFuzzer target for the skin's text files: bitmap descriptors (held to an
// image whose size the input chooses) and style files.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/skin/bitmap_descriptor.h"
#include "formats/skin/style_file.h"

using namespace kr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  kr::skin::BitmapDescriptor d = kr::skin::ParseBitmapDescriptor(text);
  const int w = data[0] + 1, h = data[1] * 3 + 1;
  kr::skin::FinishDescriptor(d, w, h);
  if (d.frameWidth < 1 || d.frameWidth > w || d.frameHeight < 1 || d.frameHeight > h || d.lastFrame < 0 ||
      (d.lastFrame + 1) * d.frameHeight > h || d.handleRect.right > w || d.handleRect.bottom > h)
    std::abort();
  const auto styles = kr::skin::ParseStyleFile(text, [](std::string_view name) -> std::optional<std::string> {
    if (name == "DejaVu Sans") return std::string(name);
    return std::nullopt;
  });
  for (const auto& s : styles)
    if (!s) std::abort();
  return 0;
}
