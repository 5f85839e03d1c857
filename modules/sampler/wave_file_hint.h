// The hint of the WAVE modules' file name plug.
#pragma once

namespace kr {

inline constexpr const char* kWaveFileHint =
    "Enter the .WAV filename.  Check the menu 'Audio - Preferences' for the default directory.";

}  // namespace kr
