// The panel of the SoundFont modules ("Soundfont Player", "Soundfont
// Oscillator"): the file they play (the control's text, typed or chosen with
// the browse button) and combo boxes for their "Bank" and "Patch" plugs,
// offering the banks of the file and the presets of the chosen bank by name.
// The file is read (through the patch's file lookup) when the panel opens
// and again when its name changes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/generic_parameter.h"
#include "gui/visual/layout.h"

namespace kr {

class CControl;
class CPlug2;

namespace gui {

// The presets of a SoundFont file as the choosers list them.
struct PresetEntry {
  int bank = 0;
  int program = 0;
  std::string name;
};

// One of the two choosers' values: the plug's value, with the item list
// the file gives (the plug's own list while the file gives none).
class PresetChoice final : public generic_parameter {
 public:
  enum class Kind { Bank, Patch };
  PresetChoice(CPlug2& plug, Kind kind, const std::vector<PresetEntry>& presets, const CPlug2* bank = nullptr)
      : plug_(plug), kind_(kind), presets_(presets), bank_(bank) {}
  std::string ValueText() const override;
  void SetValueText(std::string_view text) override;
  std::string Name() const override;
  int DataType() const override;
  std::string ItemList() const override;

 private:
  CPlug2& plug_;
  Kind kind_;
  const std::vector<PresetEntry>& presets_;
  const CPlug2* bank_;
};

// The item lists: banks in ascending order ("Bank 0=0,Bank 128=128"), and
// the presets of one bank by program ("0 Piano=0,...").
std::string BankItems(const std::vector<PresetEntry>& presets);
std::string PatchItems(const std::vector<PresetEntry>& presets, int bank);

class CSoundFontChoosers final : public CGroup {
 public:
  // Null when the control has no "Bank" and "Patch" plugs.
  static std::unique_ptr<CSoundFontChoosers> Make(CControl& control);
  explicit CSoundFontChoosers(CControl& control);
  ~CSoundFontChoosers() override;
  void Open() override;
  void Refresh() override;
  const std::vector<PresetEntry>& Presets() const { return presets_; }

 private:
  void ReadPresets();
  CControl& control_;
  std::vector<PresetEntry> presets_;
  std::string readName_;
  bool read_ = false;
  std::unique_ptr<PresetChoice> bank_, patch_;
};

}  // namespace gui

}  // namespace kr
