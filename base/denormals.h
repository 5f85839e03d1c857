// Subnormal floats cost recursive filters and envelopes dearly on x86: while
// an object of this class lives, the calling thread flushes subnormal results
// to zero and reads subnormal inputs as zero (SSE's FTZ and DAZ). The
// thread's previous mode comes back when it goes, so a host's own settings
// survive the call. Does nothing where the arithmetic is not SSE.
#pragma once

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <xmmintrin.h>
#define KR_HAVE_SSE_CONTROL 1
#endif

namespace kr {

class ScopedFlushDenormals {
 public:
#if defined(KR_HAVE_SSE_CONTROL)
  static constexpr unsigned kFlushToZero = 0x8000;     // MXCSR FTZ
  static constexpr unsigned kDenormalsAreZero = 0x0040;  // MXCSR DAZ
  ScopedFlushDenormals() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
  ~ScopedFlushDenormals() { _mm_setcsr(saved_); }
#else
  ScopedFlushDenormals() = default;
#endif
  ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
  ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

 private:
#if defined(KR_HAVE_SSE_CONTROL)
  unsigned saved_;
#endif
};

}  // namespace kr
