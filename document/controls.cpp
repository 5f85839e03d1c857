#include "document/controls.h"

#include <algorithm>
#include <cstring>

#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

namespace kr {

const RuntimeClass CControl::kClass{"CControl", 1, false, &CUG::kClass, &MakePlain<CControl>};
const RuntimeClass Ctl_PatchSel::kClass{"Ctl_PatchSel", 1, false, &CUG::kClass, &MakePlain<Ctl_PatchSel>};
const RuntimeClass CPattSeq::kClass{"CPattSeq", 1, false, &CControl::kClass, &MakePlain<CPattSeq>};
const RuntimeClass CStepSeq2::kClass{"CStepSeq2", 1, false, &CPattSeq::kClass, &MakePlain<CStepSeq2>};
const RuntimeClass CDrumSeq::kClass{"CDrumSeq", 1, false, &CPattSeq::kClass, &MakePlain<CDrumSeq>};
const RuntimeClass CStepSeq::kClass{"CStepSeq", 1, false, &CUG::kClass, &MakePlain<CStepSeq>};

namespace control_classes {
#define KR_CONTROL(ident, text) \
  extern const RuntimeClass ident; \
  const RuntimeClass ident{text, 1, false, &CControl::kClass, &MakeGeneric<CControl, &ident>};
KR_CONTROL(kCombo, "Ctl_Combo")
KR_CONTROL(kLED, "Ctl_LED")
KR_CONTROL(kPeakMeter, "Ctl_PeakMeter")
KR_CONTROL(kPushButton, "Ctl_PushButton")
KR_CONTROL(kSlider, "Ctl_Slider")
KR_CONTROL(kText, "Ctl_Text")
KR_CONTROL(kVoltMeter, "Ctl_VoltMeter")
KR_CONTROL(kSelfDrawing, "Ctl_SelfDrawing")
KR_CONTROL(kFreqAn, "Ctl_FreqAn")
KR_CONTROL(kFreqResp, "Ctl_FreqResp")
KR_CONTROL(kGenProg, "Ctl_GenProg")
KR_CONTROL(kKeyboard, "Ctl_Keyboard")
KR_CONTROL(kTty, "Ctl_tty")
KR_CONTROL(kSoundfontBase, "Ctl_Soundfont_base")
KR_CONTROL(kOscSf, "Cosc_sf")
KR_CONTROL(kSamplePlay2, "Ctl_SamplePlay2")
KR_CONTROL(kUiControl2, "ui_control2")
KR_CONTROL(kUiParamFloatOut, "ui_param_float_out")
KR_CONTROL(kEnvEdit, "Ctl_Env_Edit")
#undef KR_CONTROL

std::span<const RuntimeClass* const> All() {
  static const RuntimeClass* const all[] = {
      &CControl::kClass, &Ctl_PatchSel::kClass, &CPattSeq::kClass, &CStepSeq2::kClass, &CDrumSeq::kClass,
      &CStepSeq::kClass, &kCombo,               &kLED,             &kPeakMeter,        &kPushButton,
      &kSlider,          &kText,                &kVoltMeter,       &kSelfDrawing,      &kFreqAn,
      &kFreqResp,        &kGenProg,             &kKeyboard,        &kTty,              &kSoundfontBase,
      &kOscSf,           &kSamplePlay2,         &kUiControl2,      &kUiParamFloatOut,  &kEnvEdit};
  return all;
}
}  // namespace control_classes

namespace {

constexpr int kMaxSteps = 32;

std::int32_t ReadBoundedCount(ArchiveReader& ar, std::int32_t limit, const char* what) {
  const std::int32_t n = ar.ReadInt32();
  if (n < 0 || n > limit) throw ArchiveError(what);
  return n;
}

std::vector<std::int32_t> ReadIntList(ArchiveReader& ar) {
  const std::int32_t m = ar.ReadInt32();
  if (m < 0 || static_cast<std::size_t>(m) > ar.Remaining() / 4) throw ArchiveError("bad list count");
  std::vector<std::int32_t> list;
  for (std::int32_t i = 0; i < m; ++i) list.push_back(ar.ReadInt32());
  return list;
}

void WriteIntList(ArchiveWriter& ar, const std::vector<std::int32_t>& list) {
  ar.WriteInt32(static_cast<std::int32_t>(list.size()));
  for (std::int32_t x : list) ar.WriteInt32(x);
}

SequencerStep ReadStep(ArchiveReader& ar) {
  SequencerStep s;
  for (auto& x : s.values) x = ar.ReadInt32();
  if (ar.Version() == 14) ar.ReadInt32();  // a fifth number in version 14, dropped
  return s;
}

void WriteStep(ArchiveWriter& ar, const SequencerStep& s) {
  for (auto x : s.values) ar.WriteInt32(x);
  if (ar.Version() == 14) ar.WriteInt32(0);
}

std::vector<SequencerStep> ReadSteps(ArchiveReader& ar) {
  const std::int32_t n = ReadBoundedCount(ar, kMaxSteps, "too many sequencer steps");
  std::vector<SequencerStep> steps;
  for (std::int32_t i = 0; i < n; ++i) steps.push_back(ReadStep(ar));
  return steps;
}

// At most kMaxSteps: the reader refuses more, so more are never written.
std::size_t StoredStepCount(std::size_t held) { return std::min<std::size_t>(held, kMaxSteps); }

void WriteSteps(ArchiveWriter& ar, const std::vector<SequencerStep>& steps) {
  const std::size_t n = StoredStepCount(steps.size());
  ar.WriteInt32(static_cast<std::int32_t>(n));
  for (std::size_t i = 0; i < n; ++i) WriteStep(ar, steps[i]);
}

// The held pattern p, or none when the list was cut short in memory.
template <class Pattern>
const Pattern* HeldPattern(const std::vector<Pattern>& patterns, int p) {
  return static_cast<std::size_t>(p) < patterns.size() ? &patterns[static_cast<std::size_t>(p)] : nullptr;
}

}  // namespace

ControlValueType CControl::ValueType() const {
  using namespace control_classes;
  if (forced_) return forcedType_;
  const RuntimeClass* c = class_;
  if (c == &kCombo || c == &kFreqAn || c == &kFreqResp || c == &kGenProg || c == &kKeyboard || c == &kTty)
    return ControlValueType::Integer;
  if (c == &kText || c == &kSoundfontBase || c == &kOscSf || c == &kSamplePlay2) return ControlValueType::Text;
  return ControlValueType::Number;
}

bool CControl::TakesMidiAutomation() const {
  using namespace control_classes;
  const RuntimeClass* c = class_;
  return c == &kCombo || c == &kSlider || c == &kPeakMeter || c == &kVoltMeter || c == &kUiControl2 ||
         c == &kUiParamFloatOut;
}

void CControl::LoadControlPart(ArchiveReader& ar) {
  const int v = ar.Version();
  if (v >= 19) {
    if (v >= 84) key = ar.ReadInt32();
    const std::int32_t n = ReadBoundedCount(ar, kSlots, "control value count above 128");
    switch (ValueType()) {
      case ControlValueType::Integer:
        for (std::int32_t i = 0; i < n; ++i) integers.push_back(ar.ReadInt32());
        break;
      case ControlValueType::Text:
        texts = ar.ReadTextList();
        if (texts.size() > static_cast<std::size_t>(kSlots)) throw ArchiveError("control value count above 128");
        break;
      case ControlValueType::Number:
        for (std::int32_t i = 0; i < n; ++i) numbers.push_back(ar.ReadDouble());
        break;
    }
    singleValue = n == 1;
  }
  rect = ar.ReadRect();
  if (v >= 61) text = ar.ReadText();
}

void CControl::StoreControlPart(ArchiveWriter& ar) const {
  const int v = ar.Version();
  if (v >= 19) {
    if (v >= 84) ar.WriteInt32(key);
    switch (ValueType()) {
      case ControlValueType::Integer:
        ar.WriteInt32(static_cast<std::int32_t>(integers.size()));
        for (auto x : integers) ar.WriteInt32(x);
        break;
      case ControlValueType::Text:
        ar.WriteInt32(static_cast<std::int32_t>(texts.size()));
        ar.WriteTextList(texts);
        break;
      case ControlValueType::Number:
        ar.WriteInt32(static_cast<std::int32_t>(numbers.size()));
        for (auto x : numbers) ar.WriteDouble(x);
        break;
    }
  }
  ar.WriteRect(rect);
  if (v >= 61) ar.WriteText(text);
}

void CControl::SetRect(int viewKind, const DocRect& r) {
  if (viewKind != kPanelView) return CUG::SetRect(viewKind, r);
  rect = r;
  CDocOb::SetRect(viewKind, r);
}

void CControl::Load(ArchiveReader& ar) {
  LoadCugPart(ar);
  LoadControlPart(ar);
}

void CControl::Store(ArchiveWriter& ar) const {
  StoreCugPart(ar);
  StoreControlPart(ar);
}

Ctl_PatchSel::Ctl_PatchSel() = default;
Ctl_PatchSel::Ctl_PatchSel(Module_Info* entry) : CUG(entry) {}
Ctl_PatchSel::~Ctl_PatchSel() = default;

void Ctl_PatchSel::Load(ArchiveReader& ar) {
  if (ar.Version() >= 50) {
    LoadCugPart(ar);
    return;
  }
  // The inner integer control keeps its values; the module itself becomes
  // a "Patch Select" with the old title and the plugs that were stored (the
  // document's wires end at them), or the entry's own when none were.
  SetEntryByName("Patch Select");
  legacyControl = std::make_unique<CControl>(CControl::kClass, ControlValueType::Integer);
  legacyControl->Load(ar);
  SetTitle(legacyControl->Title());
  for (auto& plug : legacyControl->TakePlugs()) AddPlug(std::move(plug));
  if (Plugs().empty()) CreatePlugs();
}

void Ctl_PatchSel::Store(ArchiveWriter& ar) const {
  if (ar.Version() >= 50) {
    StoreCugPart(ar);
    return;
  }
  // The inner control's form: this module's own part (its plugs are the
  // ones the wires reach), then the control's values.
  StoreCugPart(ar);
  if (legacyControl) {
    legacyControl->StoreControlPart(ar);
  } else {
    CControl(CControl::kClass, ControlValueType::Integer).StoreControlPart(ar);
  }
}

void CPattSeq::LoadPattPart(ArchiveReader& ar) {
  const int v = ar.Version();
  if (v < 18) ar.ReadRect();
  droppedSetting = ar.ReadInt32();
  setting = ar.ReadInt32();
  booleanSetting = ar.ReadInt32() != 0;
  list = ReadIntList(ar);
  if (v >= 25) laterSetting = ar.ReadInt32();
}

void CPattSeq::StorePattPart(ArchiveWriter& ar) const {
  const int v = ar.Version();
  if (v < 18) ar.WriteRect({});
  ar.WriteInt32(droppedSetting);
  ar.WriteInt32(setting);
  ar.WriteInt32(booleanSetting ? 1 : 0);
  WriteIntList(ar, list);
  if (v >= 25) ar.WriteInt32(laterSetting);
}

void CPattSeq::Load(ArchiveReader& ar) {
  CControl::Load(ar);
  LoadPattPart(ar);
}

void CPattSeq::Store(ArchiveWriter& ar) const {
  CControl::Store(ar);
  StorePattPart(ar);
}

void CStepSeq2::Load(ArchiveReader& ar) {
  CPattSeq::Load(ar);
  patterns.assign(kPatterns, {});
  stepFlags.assign(kPatterns, {});
  for (int p = 0; p < kPatterns; ++p) {
    patterns[p] = ReadSteps(ar);
    stepFlags[p].clear();
    if (ar.Version() >= 23)
      for (std::size_t s = 0; s < patterns[p].size(); ++s) stepFlags[p].push_back(ar.ReadInt32());
  }
}

void CStepSeq2::Store(ArchiveWriter& ar) const {
  CPattSeq::Store(ar);
  static const std::vector<SequencerStep> kNoSteps;
  static const std::vector<std::int32_t> kNoFlags;
  // Always 32 patterns, as the reader expects, whatever is held in memory.
  for (int p = 0; p < kPatterns; ++p) {
    const auto* held = HeldPattern(patterns, p);
    const auto& steps = held != nullptr ? *held : kNoSteps;
    const auto* heldFlags = HeldPattern(stepFlags, p);
    const auto& flags = heldFlags != nullptr ? *heldFlags : kNoFlags;
    WriteSteps(ar, steps);
    if (ar.Version() >= 23)
      for (std::size_t s = 0; s < StoredStepCount(steps.size()); ++s) ar.WriteInt32(s < flags.size() ? flags[s] : 0);
  }
}

kr::SequencePatterns CStepSeq2::PlayedPatterns() const {
  kr::SequencePatterns played;
  for (int p = 0; p < kPatterns; ++p) {
    const auto* held = HeldPattern(patterns, p);
    if (held == nullptr) continue;
    const auto* flags = HeldPattern(stepFlags, p);
    auto& out = played.patterns[static_cast<std::size_t>(p)];
    out.length = static_cast<int>(StoredStepCount(held->size()));
    for (int s = 0; s < out.length; ++s) {
      const auto i = static_cast<std::size_t>(s);
      const bool accent = flags != nullptr && i < flags->size() && (*flags)[i] != 0;
      out.steps[i] = kr::StepFromStored(std::span<const std::int32_t, 4>((*held)[i].values), accent);
    }
  }
  return played;
}

void CStepSeq2::AudioObjectMade() {
  if (kr::SequencePatternReceiver* receiver = PatternReceiver()) receiver->ReceivePatterns(PlayedPatterns());
}

void CDrumSeq::Load(ArchiveReader& ar) {
  CPattSeq::Load(ar);
  patterns.assign(kPatterns, {});
  for (auto& pattern : patterns) {
    const std::int32_t n = ReadBoundedCount(ar, kMaxSteps, "too many drum steps");
    pattern.clear();
    for (std::int32_t i = 0; i < n; ++i) pattern.push_back(ar.ReadInt32());
  }
}

void CDrumSeq::Store(ArchiveWriter& ar) const {
  CPattSeq::Store(ar);
  for (int p = 0; p < kPatterns; ++p) {
    const auto* held = HeldPattern(patterns, p);
    const std::size_t n = held != nullptr ? StoredStepCount(held->size()) : 0;
    ar.WriteInt32(static_cast<std::int32_t>(n));
    for (std::size_t i = 0; i < n; ++i) ar.WriteInt32((*held)[i]);
  }
}

kr::SequencePatterns CDrumSeq::PlayedPatterns() const {
  kr::SequencePatterns played;
  for (int p = 0; p < kPatterns; ++p) {
    const auto* held = HeldPattern(patterns, p);
    if (held == nullptr) continue;
    auto& out = played.patterns[static_cast<std::size_t>(p)];
    out.length = static_cast<int>(StoredStepCount(held->size()));
    for (int s = 0; s < out.length; ++s)
      out.steps[static_cast<std::size_t>(s)] = kr::DrumStepFromStored((*held)[static_cast<std::size_t>(s)]);
  }
  return played;
}

void CDrumSeq::AudioObjectMade() {
  if (kr::SequencePatternReceiver* receiver = PatternReceiver()) receiver->ReceivePatterns(PlayedPatterns());
}

void CStepSeq::Load(ArchiveReader& ar) {
  LoadCugPart(ar);
  panelRect = ar.ReadRect();
  const std::int32_t count = ar.ReadInt32();
  if (count < 0 || static_cast<std::size_t>(count) > ar.Remaining() / 4) throw ArchiveError("bad pattern count");
  setting = ar.ReadInt32();
  for (std::int32_t p = 0; p < count; ++p) patterns.push_back(ReadSteps(ar));
  booleanSetting = ar.ReadInt32() != 0;
  list = ReadIntList(ar);
}

void CStepSeq::Store(ArchiveWriter& ar) const {
  StoreCugPart(ar);
  ar.WriteRect(panelRect);
  ar.WriteInt32(static_cast<std::int32_t>(patterns.size()));
  ar.WriteInt32(setting);
  for (const auto& p : patterns) WriteSteps(ar, p);
  ar.WriteInt32(booleanSetting ? 1 : 0);
  WriteIntList(ar, list);
}

}  // namespace kr
