#include "modules/logic/random.h"

#include <atomic>
#include <chrono>

#include "registry/plug_declaration.h"

namespace kr {

void ug_random::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_random> kPlugs[] = {
      {.at = PN_TRIGGER, .name = "Trigger in", .type = DT_BOOL, .defaultText = "1", .bind = &ug_random::trigger_},
      {.at = PN_OUT, .name = "Output", .direction = DR_OUT},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_random::Open() {
  if (seed_) {
    random_.Seed(*seed_);
  } else {
    // The time in seconds, as the C library's time() gives it, told apart
    // per module: voice copies opened in the same second must not all play
    // the same sequence.
    static std::atomic<std::uint32_t> opened{0};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(now).count());
    random_.Seed(seconds + opened.fetch_add(1, std::memory_order_relaxed) * 2654435761u);
  }
  smoother_.Init(OutputSmoother::kStep, 1);
  smoother_.Bind(GetPlug(PN_OUT), BlockLength());
  SetProcessFunction(&ug_random::Run);
  ug_base::Open();
}

void ug_random::OnPlugStateChange(int time, connector* c, PlugState) {
  if (c == nullptr || c->to != GetPlug(PN_TRIGGER) || !trigger_) return;
  smoother_.Jump(time, random_.NextUnit());
  SetProcessFunction(&ug_random::Run);
}

void ug_random::Run(int offset, int count) {
  smoother_.Process(clock, offset, count);
  if (smoother_.Finished()) SetProcessFunction(&ug_base::SleepCheck);
}

}  // namespace kr
