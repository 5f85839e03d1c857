#include "modules/shaper/wave_shaper.h"

#include <algorithm>

#include "registry/plug_declaration.h"

namespace kr {

ug_wave_shaper::ug_wave_shaper() : curve_(std::make_shared<ShaperCurve>()) {}

std::unique_ptr<ug_base> ug_wave_shaper::CreateSame() { return std::make_unique<ug_wave_shaper>(); }
std::unique_ptr<ug_base> ug_wave_shaper2::CreateSame() { return std::make_unique<ug_wave_shaper2>(); }

std::unique_ptr<ug_base> ug_wave_shaper::Clone() {
  std::unique_ptr<ug_base> copy = ug_base::Clone();
  static_cast<ug_wave_shaper&>(*copy).curve_ = curve_;
  return copy;
}

void ug_wave_shaper::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_wave_shaper> kPlugs[] = {
      {.at = PN_SIGNAL_IN, .name = "Signal In", .defaultText = "0", .flags = PF_CONTROL, .bind = &ug_wave_shaper::in_},
      {.at = PN_SIGNAL_OUT, .name = "Signal Out", .direction = DR_OUT, .bind = &ug_wave_shaper::out_},
      {.at = PN_IGNORE_PROGRAM_CHANGE,
       .name = "Ignore Program Change",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .defaultText = "0",
       .flags = PF_HIDDEN,
       .bind = &ug_wave_shaper::ignoreProgramChange_},
      {.at = PN_SHAPE,
       .name = "shape",
       .type = DT_TEXT,
       .flags = PF_PATCH_VALUE | PF_GUI | PF_HIDDEN,
       .bind = &ug_wave_shaper::shape_},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_wave_shaper::Open() {
  StartSettling(&ug_wave_shaper::SettleLookup);
  ug_base::Open();
  // The text arrives with the first state change; until then the table
  // holds the last curve built, or the default.
  if (!curve_->built) BuildCurve();
}

void ug_wave_shaper::BuildCurve() {
  ShaperCurve& curve = *curve_;
  if (curve.built && curve.text == shape_) return;  // a voice copy already did it
  curve.text = shape_;
  kr::dsp::BuildPointCurve(kr::dsp::ParseShapePoints(shape_), curve.table);
  curve.built = true;
}

void ug_wave_shaper2::BuildCurve() {
  ShaperCurve& curve = *curve_;
  if (curve.built && curve.text == shape_) return;
  curve.text = shape_;
  kr::dsp::BuildFormulaCurve(shape_.empty() ? kr::dsp::kDefaultFormula : std::string_view(shape_), curve.evaluator,
                             curve.table);
  curve.built = true;
}

void ug_wave_shaper::OnPlugStateChange(int time, connector* c, PlugState state) {
  UPlug* input = GetPlug(PN_SIGNAL_IN);
  UPlug* output = GetPlug(PN_SIGNAL_OUT);
  if (c != nullptr && c->to == GetPlug(PN_SHAPE)) {
    BuildCurve();
    ChooseProcess();
    // A static input meets the new curve once.
    if (input->state != ST_RUN) output->SetState(time, ST_STATIC);
    return;
  }
  if (c != nullptr && c->to == input) {
    ChooseProcess();
    output->SetState(time, state);
  }
}

void ug_wave_shaper::ChooseProcess() {
  if (GetPlug(PN_SIGNAL_IN)->state == ST_RUN) {
    SetProcessFunction(&ug_wave_shaper::Lookup);
  } else {
    StartSettling(&ug_wave_shaper::SettleLookup);
  }
}

void ug_wave_shaper::Lookup(int offset, int count) {
  const kr::dsp::ShaperTable& table = curve_->table;
  for (int i = offset; i < offset + count; ++i) out_[i] = kr::dsp::ShapeLookup(table, in_[i]);
}

void ug_wave_shaper::SettleLookup(int offset, int count) {
  SettleStep(offset, count, [this](int at, int n) { Lookup(at, n); });
}

}  // namespace kr
