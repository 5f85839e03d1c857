// Counts the notes held down by a MIDI stream (per channel and key), and the
// most held at once: what a render reports as voices used when the plug-in
// does not say.
#pragma once

#include <bitset>
#include <cstdint>

namespace kr {

class HeldNotes {
 public:
  void Apply(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    const unsigned channel = status & 0x0Fu;
    const unsigned kind = status & 0xF0u;
    const std::size_t key = channel * 128 + (data1 & 0x7Fu);
    if (kind == 0x90 && data2 > 0) {
      if (!down_.test(key)) {
        down_.set(key);
        ++held_;
      }
    } else if (kind == 0x80 || kind == 0x90) {
      if (down_.test(key)) {
        down_.reset(key);
        --held_;
      }
    } else if (kind == 0xB0 && (data1 == 120 || data1 == 123)) {  // all sound off, all notes off
      for (std::size_t k = channel * 128; k < channel * 128 + 128; ++k) {
        if (down_.test(k)) --held_;
        down_.reset(k);
      }
    }
    if (held_ > most_) most_ = held_;
  }
  int Held() const { return held_; }
  int Most() const { return most_; }

 private:
  std::bitset<16 * 128> down_;
  int held_ = 0;
  int most_ = 0;
};

}  // namespace kr
