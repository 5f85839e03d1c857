// Skin images for editor tests: a knob filmstrip whose frame k is filled
// with FrameColour(k), so the frame a control shows can be read off pixels.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "formats/skin/png_codec.h"
#include "gui/draw/geometry.h"

using namespace kr;

namespace krtest {

constexpr kr::gui::Pixel FrameColour(int k) { return kr::gui::Rgb(4 * k, 255 - 4 * k, 100); }

// folder/name.png and name.txt: `frames` frames of side x side, "type knob"
// with the given mouse response ("vertical", "click", "step", ...).
inline void WriteFrameKnob(const std::filesystem::path& folder, const std::string& name, int side, int frames,
                           const std::string& response) {
  kr::skin::PngWriter png(side, side * frames, false);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(side) * 3);
  for (int y = 0; y < side * frames; ++y) {
    const kr::gui::Pixel c = FrameColour(y / side);
    for (int x = 0; x < side; ++x) {
      row[x * 3] = static_cast<std::uint8_t>(kr::gui::RedOf(c));
      row[x * 3 + 1] = static_cast<std::uint8_t>(kr::gui::GreenOf(c));
      row[x * 3 + 2] = static_cast<std::uint8_t>(kr::gui::BlueOf(c));
    }
    png.WriteRow(row.data());
  }
  const auto bytes = png.Finish();
  std::ofstream(folder / (name + ".png"), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  std::ofstream(folder / (name + ".txt")) << "type knob\nframe_size " << side << ' ' << side << "\nmouse_response "
                                          << response << '\n';
}

}  // namespace krtest
