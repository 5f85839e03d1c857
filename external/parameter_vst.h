// The hosted plug-in's parameters as the "VST Plugin" module exposes them:
// one parameter_vst per hosted parameter (its value is the plug-in's own,
// read and set straight through), then "Program Name" and "Program"
// (parameter_vst_xtra). GUI thread, except the automation fields, which the
// audio object writes and the GUI side reads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "document/generic_parameter.h"

namespace kr {

class VST_Wrapper;

// The data type of a hosted plug-in's parameter (the panel's knob and value text).
inline constexpr int kHostedParameterDataType = 7;

class parameter_vst final : public generic_parameter {
 public:
  // bindingChanged: told when the controller binding changes.
  parameter_vst(VST_Wrapper& wrapper, int index, std::function<void()> bindingChanged);

  int Index() const { return index_; }
  bool CanBeAutomated() const override;
  int MidiController() const override { return controller_.load(std::memory_order_acquire); }
  int MidiNrpn() const override { return number_.load(std::memory_order_acquire); }
  // -1 none, a controller 0..127; 99 binds to an NRPN number, 101 to an RPN number.
  void SetMidiController(int controller) override;
  void SetMidiNrpn(int number) override;
  float NormalisedValue() const override;
  void SetNormalisedValue(float x) override;
  std::string Label() const override;
  std::string ValueText() const override;
  std::string DisplayText() const override;
  void SetValueText(std::string_view text) override;
  std::string Name() const override { return name_; }
  int DataType() const override { return kHostedParameterDataType; }

  // Names and values read again (the plug-in said its display changed).
  void Refresh();
  // The audio object's automation: its 14-bit controller value, and the
  // mark that the value changed there (the GUI side tells observers).
  std::uint16_t value14 = 0;
  void MarkChanged() { changed_.store(true, std::memory_order_release); }
  bool TakeChanged() { return changed_.exchange(false, std::memory_order_acq_rel); }
  // The value changed elsewhere (the plug-in, the audio side): observers hear it.
  void AnnounceChange(void* mark = generic_parameter::kChangeFromProgram) { AnnounceValue(mark); }

 private:
  VST_Wrapper* wrapper_;
  int index_;
  std::string name_;
  std::function<void()> bindingChanged_;
  std::atomic<int> controller_{-1};
  std::atomic<int> number_{0};
  std::atomic<bool> changed_{false};
};

// "Program" (the current program's number) or "Program Name" (its name;
// the list of every name).
class parameter_vst_xtra final : public generic_parameter {
 public:
  enum class Kind { ProgramName, Program };
  parameter_vst_xtra(VST_Wrapper& wrapper, Kind kind) : wrapper_(&wrapper), kind_(kind) {}

  std::string ValueText() const override;
  void SetValueText(std::string_view text) override;
  std::string Name() const override { return kind_ == Kind::Program ? "Program" : "Program Name"; }
  int DataType() const override;
  std::string ItemList() const override;
  int FirstItemValue() const override { return 0; }
  int LastItemValue() const override;
  void AnnounceChange() { AnnounceValue(generic_parameter::kChangeFromProgram); }

 private:
  VST_Wrapper* wrapper_;
  Kind kind_;
};

}  // namespace kr
