// The run order of the audio objects, and the feedback check that comes with it.
#include <algorithm>
#include <deque>

#include "engine/audio_pair.h"
#include "engine/kr_exception.h"
#include "graph/graph_builder.h"

namespace kr {

namespace {

constexpr int kUnset = -1;
constexpr int kBusy = -2;

// The other half of a pair when `object` is the half on the given side.
ug_base* PairPartnerOf(ug_base& object, bool reader) {
  auto* pair = dynamic_cast<AudioPair*>(&object);
  return pair != nullptr && pair->IsPairReader() == reader ? pair->PairPartner() : nullptr;
}

// Downstream objects; a pair's reader also feeds its writer (no wire joins
// them, but the writer must not run before the reader has handed on the
// previous period).
template <class Fn>
void ForEachFed(ug_base& object, Fn&& fn) {
  for (auto& plug : object.plugs) {
    if (plug->direction != DR_OUT) continue;
    for (connector* c : plug->connections)
      if (c->from == plug.get() && c->to != nullptr && c->to->owner != nullptr) fn(*c->to->owner);
  }
  if (ug_base* writer = PairPartnerOf(object, true)) fn(*writer);
}

// Upstream objects, inputs from the last plug to the first, then a pair
// writer's reader.
template <class Fn>
void ForEachUpstream(ug_base& object, Fn&& fn) {
  for (auto it = object.plugs.rbegin(); it != object.plugs.rend(); ++it) {
    UPlug* plug = it->get();
    if (!plug->IsInput()) continue;
    for (connector* c : plug->connections)
      if (c->to == plug && c->from != nullptr && c->from->owner != nullptr) fn(*c->from->owner);
  }
  if (ug_base* reader = PairPartnerOf(object, false)) fn(*reader);
}

int EarlyBonus(const ug_base& object, int normal, int early) {
  return (object.flags & UGF_SORT_EARLY) != 0 ? early : normal;
}

// Walks downstream while an output feeds an unordered object.
ug_base& WalkDownstream(ug_base& first) {
  std::vector<ug_base*> visited;
  ug_base* current = &first;
  for (;;) {
    current->sortOrder = kBusy;
    visited.push_back(current);
    ug_base* nextObject = nullptr;
    ForEachFed(*current, [&](ug_base& fed) {
      if (nextObject == nullptr && fed.sortOrder == kUnset) nextObject = &fed;
    });
    if (nextObject == nullptr) break;
    current = nextObject;
  }
  for (ug_base* v : visited) v->sortOrder = kUnset;
  return *current;
}

void OrderChain(ug_base& start) {
  bool anyOutput = false;
  int deepest = kBusy;
  ForEachFed(start, [&](ug_base& fed) {
    anyOutput = true;
    deepest = std::max(deepest, fed.sortOrder);
  });
  const int depth = anyOutput ? std::max(0, deepest + 1) : 0;
  start.sortOrder = depth + EarlyBonus(start, 0, 200);

  std::deque<ug_base*> queue;
  ForEachUpstream(start, [&](ug_base& up) {
    if (&up == &start) throw KrException(KR_ERR_FEEDBACK, &start, &start);
    if (up.sortOrder == kUnset) {
      up.sortOrder = kBusy;
      queue.push_back(&up);
    } else if (up.sortOrder >= 0 && up.sortOrder < start.sortOrder) {
      throw KrException(KR_ERR_FEEDBACK, &start, &up);
    }
  });

  for (std::size_t i = 0; i < queue.size(); ++i) {
    ug_base& q = *queue[i];
    bool waiting = false;
    int largest = -1;
    ForEachFed(q, [&](ug_base& fed) {
      if (fed.sortOrder < 0) waiting = true;
      largest = std::max(largest, fed.sortOrder);
    });
    if (waiting) {
      q.sortOrder = kUnset;  // taken up again by a later pass
      continue;
    }
    q.sortOrder = largest + EarlyBonus(q, 4, 204);
    int smallest = q.sortOrder;
    ug_base* lastOrdered = nullptr;
    ForEachUpstream(q, [&](ug_base& up) {
      if (up.sortOrder == kUnset) {
        up.sortOrder = kBusy;
        queue.push_back(&up);
      } else if (up.sortOrder >= 0) {
        smallest = std::min(smallest, up.sortOrder);
        lastOrdered = &up;
      }
    });
    if (smallest < q.sortOrder && lastOrdered != nullptr) throw KrException(KR_ERR_FEEDBACK, &q, lastOrdered);
  }
}

}  // namespace

void ComputeSortOrders(const std::vector<ug_base*>& objects) {
  for (;;) {
    auto it = std::find_if(objects.begin(), objects.end(), [](ug_base* o) { return o->sortOrder < 0; });
    if (it == objects.end()) return;
    OrderChain(WalkDownstream(**it));
  }
}

}  // namespace kr
