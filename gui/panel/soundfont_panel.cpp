#include "gui/panel/soundfont_panel.h"

#include <algorithm>
#include <set>

#include "document/controls.h"
#include "document/plug2.h"
#include "engine/module_files.h"
#include "formats/soundfont/soundfont.h"
#include "gui/panel/panel_values.h"
#include "gui/visual/widgets.h"
#include "registry/interface_object.h"

namespace kr::gui {

namespace {

// SoundFont files are read no larger than the players read them.
constexpr std::uint64_t kMaxFontBytes = 1ull << 30;

// A preset name as an item label: commas and equals signs would end it.
std::string Label(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == ',' || c == '='; }, ' ');
  return text;
}

}  // namespace

std::string BankItems(const std::vector<PresetEntry>& presets) {
  std::set<int> banks;
  for (const PresetEntry& p : presets) banks.insert(p.bank);
  std::string list;
  // Appended piece by piece: GCC 12 at -O3 takes "" + a temporary for an
  // overlapping copy (-Wrestrict).
  for (int b : banks) {
    if (!list.empty()) list += ',';
    list.append("Bank ").append(std::to_string(b)).append("=").append(std::to_string(b));
  }
  return list;
}

std::string PatchItems(const std::vector<PresetEntry>& presets, int bank) {
  std::vector<const PresetEntry*> inBank;
  for (const PresetEntry& p : presets)
    if (p.bank == bank) inBank.push_back(&p);
  std::stable_sort(inBank.begin(), inBank.end(),
                   [](const PresetEntry* a, const PresetEntry* b) { return a->program < b->program; });
  std::string list;
  for (const PresetEntry* p : inBank) {
    if (!list.empty()) list += ',';
    list.append(Label(std::to_string(p->program) + " " + p->name)).append("=").append(std::to_string(p->program));
  }
  return list;
}

// --- PresetChoice ------------------------------------------------------------------

std::string PresetChoice::ValueText() const { return plug_.ValueText(); }

void PresetChoice::SetValueText(std::string_view text) {
  plug_.SetValueText(text);
  AnnounceValue();
}

std::string PresetChoice::Name() const { return plug_.Name(); }
int PresetChoice::DataType() const { return DT_ENUM; }

std::string PresetChoice::ItemList() const {
  if (presets_.empty()) return plug_.ItemList();
  if (kind_ == Kind::Bank) return BankItems(presets_);
  return PatchItems(presets_, bank_ ? ParameterTextToInt(bank_->ValueText()) : 0);
}

// --- the choosers ------------------------------------------------------------------

std::unique_ptr<CSoundFontChoosers> CSoundFontChoosers::Make(CControl& control) {
  if (!control.FindPlug("Bank") || !control.FindPlug("Patch")) return nullptr;
  return std::make_unique<CSoundFontChoosers>(control);
}

CSoundFontChoosers::CSoundFontChoosers(CControl& control) : control_(control) {
  CPlug2& bank = *control.FindPlug("Bank");
  CPlug2& patch = *control.FindPlug("Patch");
  bank_ = std::make_unique<PresetChoice>(bank, PresetChoice::Kind::Bank, presets_);
  patch_ = std::make_unique<PresetChoice>(patch, PresetChoice::Kind::Patch, presets_, &bank);
  auto file = std::make_unique<CMyEdit>(control.Parameter(), 14);
  file->tabIndex = 1;
  AddItem(std::move(file), 0, 0);
  auto browse = std::make_unique<CMyBrowseButton>(EditBinding::Of(control.Parameter()), "sf2");
  browse->tabIndex = 2;
  AddItem(std::move(browse), 0, 1);
  auto bankBox = std::make_unique<CMyCombobox>(*bank_);
  bankBox->tabIndex = 3;
  AddItem(std::move(bankBox), 1, 0);
  auto patchBox = std::make_unique<CMyCombobox>(*patch_);
  patchBox->tabIndex = 4;
  AddItem(std::move(patchBox), 2, 0);
}

// The boxes go before the values they show.
CSoundFontChoosers::~CSoundFontChoosers() { DeleteChildren(); }

void CSoundFontChoosers::ReadPresets() {
  readName_ = ValuesOf(*this).ValueText(control_.Parameter());
  read_ = true;
  presets_.clear();
  ModuleFiles* files = ValuesOf(*this).Files();
  if (!files) return;
  const WholeModuleFile file = ReadWholeModuleFile(*files, readName_, "sf2", kMaxFontBytes);
  if (!file.bytes) return;
  const sf2::ReadResult font = sf2::ReadSoundFont(*file.bytes);
  if (!font.font) return;
  for (const sf2::Preset& p : font.font->Presets()) presets_.push_back({p.bank, p.program, p.name});
}

void CSoundFontChoosers::Open() {
  if (!read_) ReadPresets();
  CGroup::Open();
}

void CSoundFontChoosers::Refresh() {
  if (ValuesOf(*this).ValueText(control_.Parameter()) != readName_) {
    ReadPresets();
    OnChildResized(this);
    Invalidate();
  }
  CGroup::Refresh();
}

}  // namespace kr::gui
