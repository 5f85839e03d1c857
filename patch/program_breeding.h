// Patch breeding: a new program from two parents of a patch memory. Each
// value comes from one parent or the other (numbers may fall anywhere
// between the two), and a share of the values, the mutation, moves to a
// random place within its range: numbers within "Min Value" .. "Max Value",
// lists to another item, switches flip. Whole numbers and texts are only
// inherited; parameters that keep one value for every program are left
// alone. The seed fixes every choice, so a request bred twice gives the same
// program. GUI thread.
#pragma once

#include "engine/breed_request.h"

namespace kr {

class CUG;

class PatchMemory;

// Writes the child program (every parameter's slot for it). False, and
// nothing written, when a program is outside the memory.
bool BreedProgram(PatchMemory& memory, const BreedRequest& request);

// For a breeding module: breeds in the patch memory its container plays,
// applies the child when it is playing, or switches the container to it when
// asked. False when no patch memory holds the module.
bool BreedForModule(CUG& module, const BreedRequest& request);

}  // namespace kr
