// Where a panel reads the values its controls show. The panel asks only
// through this interface, so the parts that own values can answer without
// the panel knowing them:
//  - legacy control modules (CControl) are their own parameters, with one
//    value per program, read for the container's current program;
//  - the widget plugs of panel objects read the plug at the other end of
//    their wire, else their own value text;
//  - patch parameters (the patch-memory modules' values, another part of the
//    program) answer through PatchParameterValue: until that part connects
//    here it answers nothing and the plug's own text is shown;
//  - meters show what their audio module last reported (MeterLevel),
//    nothing while sound is stopped.
// GUI thread only.
#pragma once

#include <optional>
#include <string>

class generic_parameter;
class CPlug2;
class CUG;

namespace kr::gui {

// The controller number that arms learning (the next controller binds).
inline constexpr int kLearnController = -2;

class PanelValues {
 public:
  virtual ~PanelValues() = default;

  virtual float Normalised(const generic_parameter& parameter);
  virtual std::string ValueText(const generic_parameter& parameter);
  virtual std::string DisplayText(const generic_parameter& parameter);

  // The value a panel object's widget plug reads.
  virtual std::string PlugValue(const CPlug2& plug);
  // The value of a plug that carries a patch parameter; nothing until patch
  // parameters are connected.
  virtual std::optional<std::string> PatchParameterValue(const CPlug2& plug);
  // The display value a meter's audio module last reported.
  virtual std::optional<float> MeterLevel(const CUG& module);

  // --- what widgets write -------------------------------------------------------
  // A control's parameter, as the user moved it (an edit: its watchers,
  // the host among them, hear of it).
  virtual void SetNormalised(generic_parameter& parameter, float normalised);
  virtual void SetValueText(generic_parameter& parameter, const std::string& text);
  // A widget plug's value: written where PlugValue reads it (the plug at the
  // other end of its wire, else the plug itself).
  virtual void SetPlugValue(CPlug2& plug, const std::string& text);
  // Arms MIDI learn: the parameter takes the next controller moved.
  virtual void ArmMidiLearn(generic_parameter& parameter);
  // The patch-parameter side of SetPlugValue: true when it took the value.
  virtual bool SetPatchParameterValue(CPlug2& plug, const std::string& text);
};

}  // namespace kr::gui
