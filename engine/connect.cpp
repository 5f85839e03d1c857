// Wiring plugs together: the free Connect and Disconnect.
#include <algorithm>

#include "engine/container_hooks.h"
#include "engine/event_pool.h"
#include "engine/kr_exception.h"
#include "engine/ug_base.h"
#include "engine/uplug.h"
#include "registry/input_array.h"

namespace kr {

namespace {

UPlug* FollowRedirects(UPlug* plug) {
  while (plug->redirect != nullptr) plug = plug->redirect;
  return plug;
}

void LinkValues(UPlug* output, UPlug* input) {
  switch (input->type) {
    case DT_MIDI:
      if (output->data == nullptr) output->AllocateData();
      if (input->data == nullptr) input->AllocateData();
      output->MidiOut().plug = output;
      input->MidiIn().plug = input;
      break;
    case DT_AUDIO:
      break;  // done by Connect, which may see the private reference slot
    default:
      // Also DT_INT: copied, so that a module member bound to the input
      // keeps receiving the value.
      input->CopyValueFrom(*output);
      break;
  }
}

void DropPendingStateChanges(ug_base* receiver, connector* c) {
  ug_event* e = receiver->events.front();
  while (e != nullptr) {
    ug_event* next = e->next;
    if (e->type == UET_STAT_CHANGE && e->ref == c) {
      receiver->events.Unlink(e);
      EventPool::Free(e);
    }
    e = next;
  }
}

}  // namespace

void Connect(UPlug* output, UPlug* input) {
  output = FollowRedirects(output);
  input = FollowRedirects(input);

  if (!input->HasConnection() || input->IsSumming()) {
    auto owned = std::make_unique<connector>(connector{output, input});
    connector* c = owned.get();
    input->ownedConnectors_.push_back(std::move(owned));
    output->connections.push_back(c);
    input->connections.push_back(c);
    if (input->IsSumming() && input->type != DT_MIDI) {
      if (input->InputArray() != nullptr) input->InputArray()->AddSource(output);
    } else if (input->type == DT_AUDIO) {
      if (output->data == nullptr) output->AllocateData();
      input->data = &input->sourceBlock_;
      input->sourceBlock_ = output->Block();
    } else {
      LinkValues(output, input);
    }
    if (input->type != DT_MIDI && input->direction != DR_PARAMETER && output->state < ST_STATIC)
      output->SetState(output->owner != nullptr ? output->owner->clock : 0, ST_STATIC);
    return;
  }

  // A second source into a single input: both go through a combiner. Ask
  // first, so that a refusal leaves the existing wire in place.
  ug_base* combiner = nullptr;
  if (input->owner != nullptr && input->owner->container != nullptr)
    combiner = input->owner->container->CreateCombiner(input->type);
  if (combiner == nullptr || combiner->PlugCount() < 2)
    throw KrException(KR_ERR_NO_COMBINER, output->owner, input->owner);

  connector* old = input->connections.front();
  UPlug* oldSource = old->from;
  Disconnect(old);
  UPlug* combinerOut = combiner->GetPlug(0);
  UPlug* combinerIn = combiner->GetPlug(1);
  Connect(oldSource, combinerIn);
  Connect(output, combinerIn);
  Connect(combinerOut, input);
  input->redirect = combinerIn;
}

void Disconnect(connector* c) {
  UPlug* from = c->from;
  UPlug* to = c->to;
  from->DetachConnector(c);
  to->DetachConnector(c);
  if (to->owner != nullptr) DropPendingStateChanges(to->owner, c);
  if (to->IsSumming() && to->type != DT_MIDI) {
    if (to->InputArray() != nullptr) to->InputArray()->RemoveSource(from);
  } else if (to->type == DT_AUDIO) {
    to->sourceBlock_ = nullptr;  // reads its own silence from now on
  }
  auto& owned = to->ownedConnectors_;
  owned.erase(std::remove_if(owned.begin(), owned.end(), [c](const auto& p) { return p.get() == c; }), owned.end());
}

}  // namespace kr
