#include "modules/math/arithmetic_modules.h"

#include <cmath>

#include "registry/plug_declaration.h"

namespace kr {

void ug_multiplier::ListInterface(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_multiplier>{.name = "Input 1", .defaultText = "8", .flags = PF_SIGNAL}, in_[0]);
  ListPlug(list, PlugDecl<ug_multiplier>{.name = "Input 2", .defaultText = "8", .flags = PF_SIGNAL}, in_[1]);
  ListPlug(list, *this, PlugDecl<ug_multiplier>{.name = "Output", .direction = DR_OUT, .bind = &ug_multiplier::out_});
}

void ug_math_mult::ListInterface(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_math_mult>{.name = "Input 1", .defaultText = "8", .hint = "The 2 inputs are Multiplied"},
           in_[0]);
  ListPlug(list, PlugDecl<ug_math_mult>{.name = "Input 2", .defaultText = "8"}, in_[1]);
  ListPlug(list, *this, PlugDecl<ug_math_mult>{.name = "Output", .direction = DR_OUT, .bind = &ug_math_mult::out_});
}

void ug_math_div::ListInterface(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_math_div>{.name = "Input 1", .defaultText = "8", .hint = "Input 1 is Divided by Input 2"},
           in_[0]);
  ListPlug(list, PlugDecl<ug_math_div>{.name = "Input 2"}, in_[1]);
  ListPlug(list, *this, PlugDecl<ug_math_div>{.name = "Output", .direction = DR_OUT, .bind = &ug_math_div::out_});
}

void ug_math_sub::ListInterface(InterfaceList& list) {
  ListPlug(list,
           PlugDecl<ug_math_sub>{.name = "Input 1", .defaultText = "8", .hint = "Input 2 is Subtracted from Input 1"},
           in_[0]);
  ListPlug(list, PlugDecl<ug_math_sub>{.name = "Input 2"}, in_[1]);
  ListPlug(list, *this, PlugDecl<ug_math_sub>{.name = "Output", .direction = DR_OUT, .bind = &ug_math_sub::out_});
}

void ug_comparator::ListInterface(InterfaceList& list) {
  ListPlug(list,
           PlugDecl<ug_comparator>{.name = "Input A",
                                   .defaultText = "8",
                                   .hint = "The 2 inputs are compared.  The output goes either high or low depending"},
           in_[0]);
  ListPlug(list, PlugDecl<ug_comparator>{.name = "Input B", .defaultText = "8"}, in_[1]);
  ListPlug(list, *this, PlugDecl<ug_comparator>{.name = "Output", .direction = DR_OUT, .bind = &ug_comparator::out_});
  ListPlug(list, *this,
           PlugDecl<ug_comparator>{
               .name = "Hi Out Val", .type = DT_DOUBLE, .defaultText = "5", .bind = &ug_comparator::hiVolts_});
  ListPlug(list, *this,
           PlugDecl<ug_comparator>{
               .name = "Lo Out Val", .type = DT_DOUBLE, .defaultText = "-5", .bind = &ug_comparator::loVolts_});
}

void ug_comparator::Prepare() {
  // Output levels that are not numbers (or too large for a float) give 0 V.
  const auto level = [](double volts) {
    const float v = static_cast<float>(volts * 0.1);
    return std::isfinite(v) ? v : 0.0f;
  };
  hi_ = level(hiVolts_);
  lo_ = level(loVolts_);
}

void ug_clipper::ListInterface(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_clipper>{.name = "Signal In", .flags = PF_SIGNAL}, in_[0]);
  ListPlug(
      list,
      PlugDecl<ug_clipper>{.name = "Hi Limit", .defaultText = "5", .hint = "Clips any input signal above this voltage"},
      in_[1]);
  ListPlug(list,
           PlugDecl<ug_clipper>{.name = "Lo Limit",
                                .defaultText = "-2",
                                .list = "-100, 0, 0, -10",
                                .hint = "Clips any input signal below this voltage"},
           in_[2]);
  ListPlug(list, *this, PlugDecl<ug_clipper>{.name = "Signal Out", .direction = DR_OUT, .bind = &ug_clipper::out_});
}

void ug_quantiser::ListInterface(InterfaceList& list) {
  ListPlug(list, PlugDecl<ug_quantiser>{.name = "Signal In", .flags = PF_SIGNAL}, in_[0]);
  ListPlug(list,
           PlugDecl<ug_quantiser>{.name = "Step Size", .defaultText = "1", .hint = "Quantisation step size in Volts"},
           in_[1]);
  ListPlug(list, *this, PlugDecl<ug_quantiser>{.name = "Signal Out", .direction = DR_OUT, .bind = &ug_quantiser::out_});
}

}  // namespace kr
