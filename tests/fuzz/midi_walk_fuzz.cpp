// libFuzzer target for the MIDI Player's event walk: any bytes read with
// stray bytes stepped over are walked in loop and one-shot mode at the
// fastest and slowest tempi; every run is at least a sample after the
// last, only channel, clock, start and stop messages are sent, and the walk
// ends or loops without running away.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/midifile/midi_file.h"
#include "formats/midifile/sequence_walker.h"

using namespace kr;

using namespace kr::midifile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadOptions options;
  options.skipStrayBytes = true;
  const MidiReadResult read = ReadMidiFile(std::span<const std::uint8_t>(data, size), options);
  if (!read.file) {
    if (read.error.empty()) __builtin_trap();
    return 0;
  }
  for (int mode = 0; mode < 4; ++mode) {
    SequenceWalker walker(*read.file, 44100.0, mode & 1, mode & 2);
    walker.SetBpm(mode < 2 ? 300.0 : 10.0);
    std::int64_t now = 0;
    for (int run = 0; run < 2000; ++run) {
      const std::int64_t wait = walker.Step([](std::uint32_t word) {
        const std::uint32_t status = word & 0xFF;
        if (status < 0x80 || (status >= 0xF0 && status != 0xF8 && status != 0xFC)) __builtin_trap();
        if ((word >> 8 & 0x80) != 0 || (word >> 16 & 0x80) != 0) __builtin_trap();
      });
      if (wait < 0) break;
      if (wait < 1 || wait > 44100 * 60) __builtin_trap();
      now += wait;
    }
    (void)now;
  }
  return 0;
}
