// The named-parameter interface of document objects: plugs, legacy panel
// controls and the module's own parameters ("Title", a container's "Program"
// ...). A parameter has a value text, a data type and, for enumerations, an
// item list; the host, the panel and MIDI automation see it through a
// normalised value in 0..1.
//
// Observers hear NC_PARAMETER_VALUE (31) on every value change, with the
// mark kChangeFromProgram when the change came from a program change,
// kChangeFromAudio from the module's audio object (null for an edit), and NC_PARAMETER_GONE (8)
// when the parameter is destroyed. GUI thread only.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/notifier.h"

namespace kr {

class CVisualOb;

class generic_parameter : public Notifier {
 public:
  // The pointer argument of a value change that a program change or the
  // audio object caused.
  static inline void* const kChangeFromProgram = reinterpret_cast<void*>(std::uintptr_t{1});
  // A value the module's audio object moved (MIDI, a host value from
  // another thread): the audio side has it already, and hosts are not told.
  static inline void* const kChangeFromAudio = reinterpret_cast<void*>(std::uintptr_t{2});

  generic_parameter() = default;
  ~generic_parameter() override;  // tells observers (code 8)

  // The virtual operations, in their historical slot order.
  virtual bool CanBeAutomated() const { return false; }
  virtual std::uint8_t KindByte() const { return 0; }
  virtual int MidiController() const { return -1; }
  virtual int MidiNrpn() const { return 0; }
  virtual void SetMidiController(int /*controller*/) {}
  virtual void SetMidiNrpn(int /*nrpn*/) {}
  // Builds the panel widget that shows this parameter inside parent, which
  // owns it. None yet: the panel code supplies the widgets.
  virtual CVisualOb* MakeDefaultWidget(CVisualOb* /*parent*/) { return nullptr; }
  virtual float NormalisedValue() const;
  virtual void SetNormalisedValue(float x);
  virtual std::string Label() const { return {}; }
  // Genetic breeding of patches: number parameters only. Fills values with
  // random numbers in 0..10 and advances the caller's random state.
  virtual void FillRandom(std::span<float> values, std::uint32_t& randomState) const;
  virtual std::vector<float> MakeGeneticValues() const;
  virtual std::string ValueText() const = 0;
  virtual std::string DisplayTextFor(float x) const;
  virtual std::string DisplayText() const;
  virtual void SetValueText(std::string_view text) = 0;
  virtual std::string Name() const = 0;
  virtual int DataType() const = 0;
  virtual std::string ItemList() const { return {}; }
  virtual int FirstItemValue() const;
  virtual int LastItemValue() const;

 protected:
  // Tells observers of a value change (code 31).
  void AnnounceValue(void* mark = nullptr) { Notify(NC_PARAMETER_VALUE, mark); }
};

// Parses a value text as a decimal integer; 0 when it is not one.
int ParameterTextToInt(std::string_view text);

}  // namespace kr
