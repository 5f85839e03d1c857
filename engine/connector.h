// One wire inside the engine: from an output plug to an input plug. Listed on
// both plugs.
#pragma once

class UPlug;

struct connector {
  UPlug* from = nullptr;  // output
  UPlug* to = nullptr;    // input
};
