// SoundFont 2 files ("sfbk") as the players use them: the 16-bit sample
// data with guard samples at both ends, and for every preset its list of
// zones, built when the file is read so that choosing a preset on the
// audio thread only picks a list. Every index and sample address of the
// file is checked; a zone carries copies of everything a voice needs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kr::sf2 {

inline constexpr int kGenerators = 60;

// Generator numbers the players read.
enum Generator : int {
  kStartOffset = 0,
  kEndOffset = 1,
  kLoopStartOffset = 2,
  kLoopEndOffset = 3,
  kStartCoarse = 4,
  kInitialFilterFc = 8,
  kEndCoarse = 12,
  kAttackVolEnv = 34,
  kDecayVolEnv = 36,
  kSustainVolEnv = 37,
  kReleaseVolEnv = 38,
  kInstrument = 41,
  kKeyRange = 43,
  kVelRange = 44,
  kLoopStartCoarse = 45,
  kKeynum = 46,
  kVelocity = 47,
  kLoopEndCoarse = 50,
  kCoarseTune = 51,
  kFineTune = 52,
  kSampleId = 53,
  kSampleModes = 54,
  kScaleTuning = 56,
  kOverridingRootKey = 58,
};

// Samples of silence before and after the sample data: the interpolation
// reads three samples before and four after its position.
inline constexpr std::size_t kGuardSamples = 16;
// The largest step through a sample per output sample (six octaves above
// the sample's own pitch at the engine's rate).
inline constexpr double kMaxStep = 64.0;

// Where a zone plays in the sample data: indexes from the first real sample.
struct ZonePlayback {
  bool playable = false;  // false: ROM or damaged sample; the zone is silent
  bool stereo = false;
  std::int64_t start = 0;
  std::int64_t end = 0;        // exclusive
  std::int64_t loopStart = 0;
  std::int64_t loopEnd = 0;    // exclusive; loopEnd > loopStart whenever loopMode is not 0
  int loopMode = 0;            // generator 54 & 3; 0 when the loop is unusable
  std::int64_t secondOffset = 0;  // second channel's index minus the first's
  std::uint32_t sampleRate = 44100;
  int rootKey = 60;              // overridingRootKey, else the sample's own
  double tuneSemitones = 0.0;    // coarse + (fine + the sample's correction) / 100
};

struct Zone {
  std::array<std::int16_t, kGenerators> gen{};
  ZonePlayback playback;

  int KeyLow() const { return gen[kKeyRange] & 0xFF; }
  int KeyHigh() const { return (gen[kKeyRange] >> 8) & 0xFF; }
  int VelLow() const { return gen[kVelRange] & 0xFF; }
  int VelHigh() const { return (gen[kVelRange] >> 8) & 0xFF; }
  bool Contains(int key, int velocity) const {
    return key >= KeyLow() && key <= KeyHigh() && velocity >= VelLow() && velocity <= VelHigh();
  }
};

// A new zone's generators: the SoundFont 2 defaults.
Zone DefaultZone();

struct Preset {
  std::string name;
  std::uint16_t program = 0;
  std::uint16_t bank = 0;
  std::vector<Zone> zones;  // in build order; the last matching zone wins
};

class SoundFont {
 public:
  // The preset of bank and program; null when the file has none.
  const Preset* Find(int bank, int program) const;
  // The zone that plays key at velocity (scanned from the last), or null.
  static const Zone* FindZone(const Preset& preset, int key, int velocity);

  // The sample data; index 0 is the first real sample, and kGuardSamples
  // zeros lie before it and after the last.
  const std::int16_t* Samples() const { return samples_.data() + kGuardSamples; }
  std::size_t SampleCount() const { return samples_.size() - 2 * kGuardSamples; }
  const std::vector<Preset>& Presets() const { return presets_; }

 private:
  friend struct Builder;
  std::vector<std::int16_t> samples_;
  std::vector<Preset> presets_;  // file order, terminal record left out
};

struct ReadResult {
  std::shared_ptr<const SoundFont> font;
  std::string error;  // why the file was refused, when font is null
};

inline constexpr const char* kCompressedMessage =
    "the file holds compressed samples (SoundFont 3); only uncompressed SoundFont 2 files can be played";

// Refuses anything but a well-formed "sfbk" file whose indexes all lie in
// their tables; at most kMaxZones zones in all.
inline constexpr std::size_t kMaxZones = 200000;
ReadResult ReadSoundFont(std::span<const std::uint8_t> bytes);

}  // namespace kr::sf2
