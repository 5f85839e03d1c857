// What a patch-breeding module asks the GUI side for: a new program from
// two parents ("gnpg", DSP to GUI, to the module's twin). The audio side
// never touches patch memory; the GUI side breeds, and the values reach the
// audio side as any program's do.
#pragma once

#include <cstdint>

#include "engine/msg_stream.h"

namespace kr {

struct BreedRequest {
  std::int32_t parentA = 0;
  std::int32_t parentB = 1;
  std::int32_t child = 2;
  float mutation = 0.1f;     // the share of values moved within their range, 0..1
  std::uint32_t seed = 0;    // fixes every choice the breeding makes
  bool switchToChild = true;  // the patch then plays the child
};

inline void WriteBreedRequest(my_output_stream& out, const BreedRequest& r) {
  out << r.parentA << r.parentB << r.child << r.mutation << static_cast<std::int32_t>(r.seed)
      << static_cast<std::int32_t>(r.switchToChild ? 1 : 0);
}

inline BreedRequest ReadBreedRequest(my_input_stream& in) {
  BreedRequest r;
  in >> r.parentA >> r.parentB >> r.child >> r.mutation;
  r.seed = static_cast<std::uint32_t>(in.ReadInt());
  r.switchToChild = in.ReadInt() != 0;
  return r;
}

}  // namespace kr
