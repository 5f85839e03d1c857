#include "modules/analyse/monitor.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "engine/audio_master.h"
#include "registry/plug_declaration.h"

namespace kr {

ug_monitor::ug_monitor() {
  // A voice output that only feeds monitors is not watched for silence.
  flags |= UGF_MONITOR;
}

void ug_monitor::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_monitor> kPlugs[] = {
      {.at = PN_SIGNAL, .name = "Signal", .defaultText = "0", .flags = PF_SIGNAL, .hint = "The voltage shown", .bind = &ug_monitor::in_},
      {.at = PN_RATE,
       .name = "Update Rate",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "2",
       .list = "1 Hz=1,2 Hz=2,5 Hz=5,10 Hz=10",
       .hint = "How often the value is shown",
       .bind = &ug_monitor::rate_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

std::size_t ug_monitor::Describe(float sample, char* out, std::size_t size) {
  const int n = std::snprintf(out, size, "%.3f V", static_cast<double>(sample) * 10.0);
  return n < 0 ? 0 : std::min(static_cast<std::size_t>(n), size - 1);
}

int ug_monitor::Period() const {
  const double rate = audioMaster != nullptr ? audioMaster->SampleRate() : 44100.0;
  const int perSecond = std::clamp<int>(rate_, 1, 10);
  return std::max(1, static_cast<int>(rate / perSecond));
}

void ug_monitor::Open() {
  ug_base::Open();
  untilUpdate_ = 0;
  lastLength_ = 0;
  SetProcessFunction(&ug_monitor::Watch);
}

void ug_monitor::Watch(int offset, int count) {
  while (untilUpdate_ < count) {
    const int at = offset + untilUpdate_;
    char line[sizeof last_];
    const std::size_t n = Describe(in_[at], line, sizeof line);
    if (n != lastLength_ || std::memcmp(line, last_, n) != 0) {
      std::memcpy(last_, line, n);
      lastLength_ = n;
      if (audioMaster != nullptr) audioMaster->Host().PostPrint(*this, std::string_view(line, n));
    }
    untilUpdate_ += Period();
  }
  untilUpdate_ -= count;
}

}  // namespace kr
