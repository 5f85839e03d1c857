#include "engine/samp_block.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace kr {

namespace {
std::atomic<int> g_subBlockLength{64};
constexpr int kSpare = 8;
constexpr std::align_val_t kAlign{16};
}  // namespace

int SubBlockLength() { return g_subBlockLength.load(std::memory_order_relaxed); }
void SetSubBlockLength(int length) { g_subBlockLength.store(std::max(1, length), std::memory_order_relaxed); }

void USampBlock::AlignedFree::operator()(float* p) const { ::operator delete[](p, kAlign); }

USampBlock::USampBlock(int length) : length_(std::max(1, length)) {
  const auto count = static_cast<std::size_t>(length_ + kSpare);
  storage_.reset(static_cast<float*>(::operator new[](count * sizeof(float), kAlign)));
  samples_ = storage_.get();
  std::fill_n(samples_, count, 0.0f);
}

void USampBlock::Fill(float value) {
  float* p = samples_;
  int n = length_;
  for (; n >= 4; n -= 4, p += 4) {
    p[0] = value;
    p[1] = value;
    p[2] = value;
    p[3] = value;
  }
  for (; n > 0; --n) *p++ = value;
}

}  // namespace kr
