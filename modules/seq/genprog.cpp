#include "modules/seq/genprog.h"

#include "engine/audio_master.h"
#include "engine/dsp_to_ui_que.h"
#include "engine/msg_id.h"
#include "modules/signal_helpers.h"
#include "registry/plug_declaration.h"

namespace kr {

void ug_genprog::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_genprog> kPlugs[] = {
      {.at = PN_TRIGGER,
       .name = "Trigger",
       .defaultText = "0",
       .flags = PF_SIGNAL,
       .hint = "A rise above 3.3 V breeds a new program",
       .bind = &ug_genprog::trigger_},
      {.at = PN_PARENT_A,
       .name = "Parent A",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "range 0,127",
       .bind = &ug_genprog::parentA_},
      {.at = PN_PARENT_B,
       .name = "Parent B",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "1",
       .list = "range 0,127",
       .bind = &ug_genprog::parentB_},
      {.at = PN_CHILD,
       .name = "Child",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "2",
       .list = "range 0,127",
       .hint = "The program the new one is written into",
       .bind = &ug_genprog::child_},
      {.at = PN_MUTATION,
       .name = "Mutation",
       .direction = DR_PARAMETER,
       .type = DT_FLOAT,
       .defaultText = "0.1",
       .hint = "Share of the values moved at random within their range, 0 to 1",
       .bind = &ug_genprog::mutation_},
      {.at = PN_SEED,
       .name = "Seed",
       .direction = DR_PARAMETER,
       .type = DT_INT,
       .defaultText = "1",
       .hint = "The same seed breeds the same programs",
       .bind = &ug_genprog::seed_},
      {.at = PN_SWITCH_TO_CHILD,
       .name = "Switch To Child",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "1",
       .bind = &ug_genprog::switchToChild_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_genprog::Open() {
  rising_ = {};
  random_ = SplitMix(static_cast<std::uint32_t>(seed_));
  SetProcessFunction(&ug_base::SleepCheck);
  ug_base::Open();
}

BreedRequest ug_genprog::NextRequest() {
  BreedRequest r;
  r.parentA = parentA_;
  r.parentB = parentB_;
  r.child = child_;
  r.mutation = mutation_;
  r.seed = static_cast<std::uint32_t>(random_.Next() >> 32);
  r.switchToChild = switchToChild_;
  return r;
}

void ug_genprog::Breed() {
  const BreedRequest request = NextRequest();
  dsp_to_ui_que* queue = audioMaster != nullptr ? audioMaster->Host().GuiQueue() : nullptr;
  if (queue == nullptr || handle == 0) return;
  my_msg_que_output_stream out(*queue, handle, kMsgBreed);
  WriteBreedRequest(out, request);
  out.Send();
}

void ug_genprog::OnUiNotify(int kind, int value) {
  if (kind == 1) {
    Breed();
    return;
  }
  ug_base::OnUiNotify(kind, value);
}

void ug_genprog::OnPlugStateChange(int time, connector* c, PlugState state) {
  UPlug* trigger = GetPlug(PN_TRIGGER);
  if (c != nullptr && c->to == trigger && state != ST_RUN && rising_.Rises(SampleAt(*this, trigger_, time))) Breed();
  if (trigger->state == ST_RUN)
    SetProcessFunction(&ug_genprog::Watch);
  else
    SetProcessFunction(&ug_base::SleepCheck);
}

void ug_genprog::Watch(int offset, int count) {
  for (int i = offset; i < offset + count; ++i)
    if (rising_.Rises(trigger_[i])) Breed();
}

}  // namespace kr
