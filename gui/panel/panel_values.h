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
//    nothing while sound is stopped; text consoles the lines it printed;
//  - self-drawing controls send their audio module notifications (the
//    on-screen keyboard's notes) through the GUI-to-DSP queue.
// GUI thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kr {

class generic_parameter;
class CPlug2;
class CUG;

class ModuleFiles;

namespace gui {

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
  // The texts a module's audio object printed since the last call, oldest
  // first ("prnt" messages); none while sound is stopped.
  virtual std::vector<std::string> TakePrinted(const CUG& module);
  // The curve a module's audio object last sent (a spectrum, a response in
  // dB); empty while sound is stopped.
  virtual std::vector<float> Curve(const CUG& module);
  // Where the files a patch names are found (samples, SoundFonts); none
  // outside the plug-in.
  virtual kr::ModuleFiles* Files() { return nullptr; }

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
  // A notification to a module's audio object and all its voice copies,
  // through the GUI-to-DSP queue (nothing while sound is stopped).
  virtual void SendNotify(CUG& module, int kind, int value);
};

}  // namespace gui

}  // namespace kr
