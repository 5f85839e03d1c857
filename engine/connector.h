// One wire inside the engine: from an output plug to an input plug. Listed on
// both plugs.
#pragma once

namespace kr {

class UPlug;

struct connector {
  UPlug* from = nullptr;  // output
  UPlug* to = nullptr;    // input
};

}  // namespace kr
