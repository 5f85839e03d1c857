// Legacy control modules: one stored value per patch (128 slots), typed by
// the control's class.
#pragma once

#include <string>
#include <vector>

#include "document/cug.h"
#include "document/generic_parameter.h"

namespace kr {

enum class ControlValueType { Integer, Text, Number };

// A legacy panel control is itself its parameter. Both bases are notifiers:
// document observers watch the CUG part, parameter observers the
// generic_parameter part (reach it through Parameter()).
class CControl : public CUG, public generic_parameter {
  friend class Ctl_PatchSel;  // writes an old document's inner control around its own plugs

 public:
  static const RuntimeClass kClass;
  static constexpr int kSlots = 128;
  CControl() = default;
  explicit CControl(const RuntimeClass& cls) : class_(&cls) {}
  CControl(const RuntimeClass& cls, ControlValueType forcedType) : class_(&cls), forcedType_(forcedType), forced_(true) {}
  const RuntimeClass& Class() const override { return *class_; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  ControlValueType ValueType() const;

  // --- the control's parameter ---------------------------------------------
  generic_parameter& Parameter() { return *this; }
  const generic_parameter& Parameter() const { return *this; }
  // By class: "Slider" and "List Entry" can be automated; meters and LEDs
  // have kind 1, so they sort after the host's other parameters.
  bool CanBeAutomated() const override;
  std::uint8_t KindByte() const override;
  // Named parameters: "Title", then the "MIDI Controller ID" and "MIDI NRPN"
  // plugs when the control has them.
  int ParameterCount() const override;
  generic_parameter* ParameterAt(int index) const override;
  // Through those named parameters; setting one tells the parameter's
  // observers (codes 32 and 33).
  int MidiController() const override;
  int MidiNrpn() const override;
  void SetMidiController(int controller) override;
  void SetMidiNrpn(int nrpn) override;
  std::string ValueText() const override { return ValueTextFor(-1); }
  // p < 0: the current program (the container's when the control holds more
  // than one and follows program changes, else 0); a program past the
  // stored ones reads program 0.
  std::string ValueTextFor(int program) const;
  // A program's value as program chunks carry it: numbers with every digit,
  // so that a round trip does not round them. And back (a program in 0..127;
  // a control holding no values yet gets its full set of slots first).
  std::string ChunkValueTextFor(int program) const;
  void SetValueTextFor(int program, std::string_view text);
  // Tells observers the current program's value came in from outside (a
  // program chunk), with the program-change mark.
  void AnnounceProgramValue() { AnnounceValue(kChangeFromProgram); }
  // Stores a value the control's audio object moved, in the program it was
  // playing (a control holding fewer values first gets one per program, as
  // each program read them), and tells observers with the audio mark.
  void StoreAudioValue(int program, std::string_view text);
  // A control holding fewer values than programs gets one per program, each
  // the value that program read.
  void GiveEveryProgramItsValue();
  // The slot program p reads (p < 0: the current program).
  std::size_t SlotFor(int program) const;

  // A slider maps the host's 0..1 to its "Lo Value" .. "Hi Value" volts;
  // a list entry's positions are those of its items.
  float NormalisedValue() const override;
  void SetNormalisedValue(float x) override;
  std::string DisplayTextFor(float x) const override;
  // A list entry's items: those of the plug its "Choice" feeds, kept in
  // its text field (the text a list entry stores has no other use).
  std::string ItemList() const override;
  // Wiring a slider takes the range of the input it feeds (and its "keep on
  // patch change" flag); wiring a list entry takes the input's items.
  void PlugWiresChanged(CPlug2& plug) override;
  // Stores into the current program's slot and announces the change.
  void SetValueText(std::string_view text) override;
  std::string Name() const override { return Title(); }
  // Its value type: 0 integer (read as an enumeration), 1 text, 3 number.
  int DataType() const override;
  int ProgramCount() const;
  // Follows program changes unless its "Ignore Program Change" plug is "1".
  bool FollowsProgramChanges() const;
  void FollowProgram(int program) override;
  // A drawn envelope ("Ctl_Env_Edit") hands its audio object the shape it stores.
  void AudioObjectMade() override;
  // The envelope text of a drawn envelope: the current program's text value,
  // else the text kept with the control (empty: the default shape).
  std::string EnvelopeText() const;
  // Keeps a drawn envelope's new text where EnvelopeText reads it.
  void SetEnvelopeText(std::string_view shape);

  // Sliders, lists, meters and the generic control classes.
  bool TakesMidiAutomation() const override;
  DocRect GetRect(int viewKind) const override { return viewKind == kPanelView ? rect : CUG::GetRect(viewKind); }
  void SetRect(int viewKind, const DocRect& r) override;

  // The stored values, by type; slots beyond them hold defaults.
  std::int32_t key = 0;  // identifies the control in program chunks
  std::vector<std::int32_t> integers;
  std::vector<double> numbers;
  std::vector<std::string> texts;
  bool singleValue = false;
  DocRect rect{};
  std::string text;

 protected:
  void LoadControlPart(ArchiveReader& ar);
  void StoreControlPart(ArchiveWriter& ar) const;

 private:
  const RuntimeClass* class_ = &kClass;
  ControlValueType forcedType_ = ControlValueType::Number;
  bool forced_ = false;
};

// "Patch Select". Before version 50 it was an integer control with one patch,
// stored without a tag.
class Ctl_PatchSel : public CUG {
 public:
  static const RuntimeClass kClass;
  Ctl_PatchSel();
  explicit Ctl_PatchSel(Module_Info* entry);
  ~Ctl_PatchSel() override;
  const RuntimeClass& Class() const override { return kClass; }
  // Hands a new program to the audio object, unless it already shows it.
  void FollowProgram(int program) override;
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  std::unique_ptr<CControl> legacyControl;  // the inner control of old documents
};

// Pattern sequencers share this part (after the control values).
class CPattSeq : public CControl {
 public:
  static const RuntimeClass kClass;
  CPattSeq() : CControl(kClass) {}
  explicit CPattSeq(const RuntimeClass& cls) : CControl(cls) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t droppedSetting = 0;
  std::int32_t setting = 0;
  bool booleanSetting = false;
  std::vector<std::int32_t> list;
  std::int32_t laterSetting = 0;  // version 25 on

 protected:
  void LoadPattPart(ArchiveReader& ar);
  void StorePattPart(ArchiveWriter& ar) const;
};

struct SequencerStep {
  std::int32_t values[4] = {0, 0, 0, 0};
  bool operator==(const SequencerStep&) const = default;
};

class CStepSeq2 : public CPattSeq {
 public:
  static const RuntimeClass kClass;
  CStepSeq2() : CPattSeq(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  // The patterns as the sequencer plays them; handed to it when sound starts.
  kr::SequencePatterns PlayedPatterns() const;
  void AudioObjectMade() override;
  static constexpr int kPatterns = 32;
  std::vector<std::vector<SequencerStep>> patterns = std::vector<std::vector<SequencerStep>>(kPatterns);
  std::vector<std::vector<std::int32_t>> stepFlags = std::vector<std::vector<std::int32_t>>(kPatterns);
};

class CDrumSeq : public CPattSeq {
 public:
  static const RuntimeClass kClass;
  CDrumSeq() : CPattSeq(kClass) {}
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  kr::SequencePatterns PlayedPatterns() const;
  void AudioObjectMade() override;
  static constexpr int kPatterns = 32;
  std::vector<std::vector<std::int32_t>> patterns = std::vector<std::vector<std::int32_t>>(kPatterns);
};

class CStepSeq : public CUG {
 public:
  static const RuntimeClass kClass;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;
  DocRect panelRect{};
  std::int32_t setting = 0;
  std::vector<std::vector<SequencerStep>> patterns;
  bool booleanSetting = false;
  std::vector<std::int32_t> list;
};

namespace control_classes {
std::span<const RuntimeClass* const> All();
extern const RuntimeClass kOscSf;        // "Cosc_sf"
extern const RuntimeClass kSamplePlay2;  // "Ctl_SamplePlay2"
extern const RuntimeClass kEnvEdit;  // "Ctl_Env_Edit", the drawn envelope of "Multistage Env"
extern const RuntimeClass kGenProg;  // "Ctl_GenProg", the panel half of "GenProg"
// The classes whose panel widgets differ.
extern const RuntimeClass kCombo;
extern const RuntimeClass kLED;
extern const RuntimeClass kPeakMeter;
extern const RuntimeClass kPushButton;
extern const RuntimeClass kSlider;
extern const RuntimeClass kText;
extern const RuntimeClass kVoltMeter;
}

}  // namespace kr
