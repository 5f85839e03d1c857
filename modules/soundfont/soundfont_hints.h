// Hints of the bank and patch inputs both SoundFont modules show.
#pragma once

namespace kr {

namespace soundfont_hints {
inline constexpr const char* kBank =
    "Provides external choice of bank. NOTE: Changing bank via external control only works while audio engine is "
    "running";
inline constexpr const char* kPatch =
    "Provides external choice of patch. NOTE: Changing patch via external control only works while audio engine "
    "is running";
}  // namespace soundfont_hints

}  // namespace kr
