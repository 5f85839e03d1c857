// One document module that runs as two audio objects, so that a loop closed
// through it is not feedback: the writer takes the signal in, the reader
// hands it on one sub-block period later. The reader has no audio input, so
// the run order sees no path through the pair; it does run before its
// writer (the run order counts the writer as fed by it), so what it hands
// on is always the previous period's.
#pragma once

#include <memory>

namespace kr {

class ug_base;

class AudioPair {
 public:
  virtual ~AudioPair() = default;

  // Writer: makes the reader (plugs made and allocated), links the two both
  // ways and redirects the writer's outputs to the reader's, so wires drawn
  // from them leave from the reader. Called once, by the graph builder.
  virtual std::unique_ptr<ug_base> MakeReader() { return nullptr; }
  // The other object of the pair (null before MakeReader).
  virtual ug_base* PairPartner() const = 0;
  virtual bool IsPairReader() const = 0;
};

}  // namespace kr
