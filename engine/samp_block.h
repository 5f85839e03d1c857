// The audio block of one output plug: L samples plus 8 spare, 16-byte aligned.
#pragma once

#include <cstddef>
#include <memory>

namespace kr {

// The sub-block length L. Process-wide as the last engine start set it; each
// audio master also keeps its own copy so that engines of different instances
// never size or cut buffers with another instance's length.
int SubBlockLength();
void SetSubBlockLength(int length);

class USampBlock {
 public:
  explicit USampBlock(int length = SubBlockLength());
  USampBlock(const USampBlock&) = delete;
  USampBlock& operator=(const USampBlock&) = delete;

  int length() const { return length_; }
  float* samples() { return samples_; }
  const float* samples() const { return samples_; }
  float& operator[](int i) { return samples_[i]; }
  float operator[](int i) const { return samples_[i]; }

  void Fill(float value);  // all L samples
  void Clear() { Fill(0.0f); }

  int reserved = 0;

 private:
  struct AlignedFree {
    void operator()(float* p) const;
  };
  std::unique_ptr<float[], AlignedFree> storage_;
  float* samples_ = nullptr;
  int length_ = 0;
};

}  // namespace kr
