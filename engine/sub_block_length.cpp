#include "engine/audio_master.h"

namespace kr {

namespace {
// A host block size is the host's word: a huge odd size would otherwise ask
// for blocks of that many samples for every output.
constexpr int kMaxSubBlock = 65536;
constexpr int kFallbackSubBlock = 128;
}  // namespace

int ComputeSubBlockLength(int n) {
  if (n < 1) return 1;
  if (n < 96) return n;
  const int q = n / 96;
  int k = 96;
  for (int d = q; d >= 1; --d) {
    if (n % d == 0) {
      k = n / d;
      break;
    }
  }
  int lim = 192 - k;
  if (lim <= 30) lim = 30;
  const int m = n / lim;
  for (int b = q + 1; b < m; ++b) {
    if (n % b == 0) {
      k = n / b;
      break;
    }
  }
  return k <= kMaxSubBlock ? k : kFallbackSubBlock;
}

}  // namespace kr
