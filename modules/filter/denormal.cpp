#include "modules/filter/denormal.h"

#include "dsp/denormal_bits.h"

namespace kr {

std::unique_ptr<ug_base> ug_denormal_detect::CreateSame() { return std::make_unique<ug_denormal_detect>(); }
std::unique_ptr<ug_base> ug_denormal_stop::CreateSame() { return std::make_unique<ug_denormal_stop>(); }

void ug_denormal_detect::BlockFunction(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) out_ptr[i] = kr::dsp::DenormalFlag(in_ptr[i]);
}

void ug_denormal_stop::BlockFunction(int offset, int count) {
  for (int i = offset; i < offset + count; ++i) out_ptr[i] = kr::dsp::CleanDenormal(in_ptr[i]);
}

}  // namespace kr
