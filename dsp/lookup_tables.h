// Lookup tables shared by module instances: float and integer tables read
// with interpolation, wavetables with their switching bounds, and the
// process-wide registry that hands out one filled table per name and key.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kr::dsp {

class LookupTable {
 public:
  explicit LookupTable(int size) : size_(size > 0 ? size : 0) {}
  virtual ~LookupTable() = default;
  int Size() const { return size_; }

  bool ready = false;  // false until the owner has filled it

 protected:
  int size_;
};

// Floats; tables read by Interpolate have 512 + 2 entries.
class ULookup : public LookupTable {
 public:
  static constexpr int kInterpolatedSize = 514;
  explicit ULookup(int size = kInterpolatedSize);

  float* Data() { return data_.get(); }
  const float* Data() const { return data_.get(); }
  float& operator[](int i) { return data_[static_cast<std::size_t>(i)]; }
  float operator[](int i) const { return data_[static_cast<std::size_t>(i)]; }
  // x in 0 ... 1 scaled by 512, linear between neighbours; below 0 reads
  // entry 0, beyond the table its last pair.
  float Interpolate(float x) const;

 private:
  std::unique_ptr<float[]> data_;
};

class ULookup_Integer : public LookupTable {
 public:
  explicit ULookup_Integer(int size = ULookup::kInterpolatedSize);
  std::uint32_t& operator[](int i) { return data_[static_cast<std::size_t>(i)]; }
  std::uint32_t operator[](int i) const { return data_[static_cast<std::size_t>(i)]; }

 private:
  std::unique_ptr<std::uint32_t[]> data_;
};

// One band-limited cycle of 512 + 2 entries, read by a 32-bit phase, with
// the phase-increment bounds within which a table set keeps using it.
class Uwavetable : public LookupTable {
 public:
  explicit Uwavetable(int size = ULookup::kInterpolatedSize);

  // Stores 0 for any value whose magnitude is below 1e-20.
  void Set(int i, float value);
  float At(int i) const { return data_[static_cast<std::size_t>(i)]; }
  // Entry phase >> 23, interpolated by the low 23 bits.
  float Read(std::uint32_t phase) const {
    const std::uint32_t index = phase >> 23;
    const float fraction = static_cast<float>(phase & 0x7FFFFFu) * (1.0f / 8388608.0f);
    const float a = data_[index];
    return a + (data_[index + 1] - a) * fraction;
  }

  std::uint32_t lowerBound = 0;
  std::uint32_t upperBound = 0;
  std::uint32_t nextRicherBound = 0;  // upper bound of the next richer table
  int identity = -1;
  int highestHarmonic = 0;

 private:
  std::unique_ptr<float[]> data_;
};

// Shared tables by name and key (the sample rate, or -1 for tables that do
// not depend on it). Each (name, key) pair has its own table, filled once by
// the first caller under the registry's lock and shared by reference count,
// so an engine at another rate never refills a table someone is reading.
// Call outside the audio thread (module Open while the engine is stopped).
std::shared_ptr<const ULookup> SharedLookup(std::string_view name, int key,
                                            const std::function<void(ULookup&)>& fill);
std::shared_ptr<const ULookup_Integer> SharedIntegerLookup(std::string_view name, int key,
                                                           const std::function<void(ULookup_Integer&)>& fill);
// Number of live shared tables (for tests of the sharing).
int SharedLookupCount();

}  // namespace kr::dsp
