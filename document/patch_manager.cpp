#include "document/patch_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/cug.h"
#include "document/plug2.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

namespace kr {

const RuntimeClass CPatchManager::kClass{"CPatchManager", 1, false, nullptr, &MakePlain<CPatchManager>};

namespace {

CPatchManager::ApplyPatchHook g_applyPatchHook = nullptr;

constexpr std::int32_t kEnum = 0, kText = 1, kBool = 4, kFloat = 6, kInt = 8;

void LoadParameter(ArchiveReader& ar, StoredPatchParameter& p) {
  const int v = ar.Version();
  p.identifier = ar.ReadInt32();
  if (v > 95310) p.plug = ar.ReadObjectOf<CPlug2>();
  if (v > 95390) p.name = ar.ReadText();
  if (v > 95400) {
    p.ignoresProgramChange = ar.ReadBool();
    p.midiController = ar.ReadInt32();
  }
  if (v > 95600) p.hiddenFromHost = ar.ReadBool();
  ar.ReadInt32();  // the type number again, not used
  const std::int32_t count = ar.ReadInt32();
  if (count < 0 || count > StoredPatchParameter::kSlots) throw ArchiveError("bad patch value count");
  for (std::int32_t i = 0; i < count; ++i) {
    switch (p.typeNumber) {
      case kEnum: p.integers.push_back(ar.ReadInt16()); break;
      case kText: p.texts.push_back(ar.ReadText()); break;
      case kBool: p.integers.push_back(ar.ReadBool() ? 1 : 0); break;
      case kFloat: p.floats.push_back(ar.ReadFloat()); break;
      default: p.integers.push_back(ar.ReadInt32()); break;
    }
  }
  // A parameter always holds 128 slots; missing ones repeat the default.
  if (p.typeNumber == kText) p.texts.resize(StoredPatchParameter::kSlots);
  else if (p.typeNumber == kFloat) p.floats.resize(StoredPatchParameter::kSlots);
  else p.integers.resize(StoredPatchParameter::kSlots);
}

void StoreParameter(ArchiveWriter& ar, const StoredPatchParameter& p) {
  const int v = ar.Version();
  ar.WriteInt32(p.identifier);
  if (v > 95310) ar.WriteObject(p.plug);
  if (v > 95390) ar.WriteText(p.name);
  if (v > 95400) {
    ar.WriteBool(p.ignoresProgramChange);
    ar.WriteInt32(p.midiController);
  }
  if (v > 95600) ar.WriteBool(p.hiddenFromHost);
  ar.WriteInt32(p.typeNumber);
  ar.WriteInt32(StoredPatchParameter::kSlots);
  for (int i = 0; i < StoredPatchParameter::kSlots; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    switch (p.typeNumber) {
      case kEnum: ar.WriteInt16(static_cast<std::int16_t>(slot < p.integers.size() ? p.integers[slot] : 0)); break;
      case kText: ar.WriteText(slot < p.texts.size() ? p.texts[slot] : std::string()); break;
      case kBool: ar.WriteBool(slot < p.integers.size() && p.integers[slot] != 0); break;
      case kFloat: ar.WriteFloat(slot < p.floats.size() ? p.floats[slot] : 0.0f); break;
      default: ar.WriteInt32(slot < p.integers.size() ? p.integers[slot] : 0); break;
    }
  }
}

}  // namespace

bool StoredPatchParameter::IsKnownType(std::int32_t t) {
  return t == kEnum || t == kText || t == kBool || t == kFloat || t == kInt;
}

std::string StoredPatchParameter::SlotText(int slot) const {
  const auto index = static_cast<std::size_t>(slot < 0 || slot >= kSlots ? 0 : slot);
  switch (typeNumber) {
    case kText: return index < texts.size() ? texts[index] : std::string();
    case kFloat: {
      if (index >= floats.size()) return "0";
      char text[32];
      std::snprintf(text, sizeof text, "%.9g", static_cast<double>(floats[index]));
      return text;
    }
    default: return std::to_string(index < integers.size() ? integers[index] : 0);
  }
}

void StoredPatchParameter::SetSlotText(int slot, const std::string& text) {
  const auto index = static_cast<std::size_t>(slot < 0 || slot >= kSlots ? 0 : slot);
  switch (typeNumber) {
    case kText:
      if (texts.size() < kSlots) texts.resize(kSlots);
      texts[index] = text;
      break;
    case kFloat:
      if (floats.size() < kSlots) floats.resize(kSlots);
      floats[index] = static_cast<float>(std::atof(text.c_str()));
      break;
    case kBool:
      if (integers.size() < kSlots) integers.resize(kSlots);
      integers[index] = std::atoi(text.c_str()) != 0 ? 1 : 0;
      break;
    case kEnum:
      if (integers.size() < kSlots) integers.resize(kSlots);
      integers[index] = static_cast<std::int16_t>(std::atoi(text.c_str()));
      break;
    default:
      if (integers.size() < kSlots) integers.resize(kSlots);
      integers[index] = std::atoi(text.c_str());
      break;
  }
}

void StoredPatchParameter::FillSlots(const std::string& valueText) {
  integers.clear();
  floats.clear();
  texts.clear();
  if (typeNumber == kText) texts.assign(kSlots, valueText);
  else if (typeNumber == kFloat) floats.assign(kSlots, static_cast<float>(std::atof(valueText.c_str())));
  else if (typeNumber == kBool) integers.assign(kSlots, std::atoi(valueText.c_str()) != 0 ? 1 : 0);
  else integers.assign(kSlots, std::atoi(valueText.c_str()));
}

void CPatchManager::SetApplyPatchHook(ApplyPatchHook hook) { g_applyPatchHook = hook; }

void CPatchManager::SetCurrentPatch(std::int32_t patch) {
  if (patch == currentPatch_) return;
  currentPatch_ = patch;
  if (listener_ != nullptr) listener_->OnCurrentPatchChanged(patch);
  if (g_applyPatchHook) g_applyPatchHook(*this, patch);
}

StoredPatchParameter* CPatchManager::FindParameterForPlug(const CPlug2& plug) {
  for (auto& p : parameters)
    if (p.plug == &plug) return &p;
  return nullptr;
}

StoredPatchParameter& CPatchManager::AddParameter(StoredPatchParameter parameter) {
  const auto used = [&](std::int32_t id) {
    return std::any_of(parameters.begin(), parameters.end(), [&](const auto& p) { return p.identifier == id; });
  };
  if (parameter.identifier < 0 || used(parameter.identifier)) {
    std::int32_t id = 0;
    while (used(id)) ++id;
    parameter.identifier = id;
  }
  parameters.push_back(std::move(parameter));
  return parameters.back();
}

namespace {

// A patch-memory module's "Name" plug names its value; else the module's title.
std::string NameFromModule(const CPlug2& plug) {
  const CUG* owner = plug.Owner();
  if (owner == nullptr) return {};
  const CPlug2* name = owner->FindPlug("Name");
  return name != nullptr && name != &plug && !name->ValueText().empty() ? name->ValueText() : owner->Title();
}

}  // namespace

StoredPatchParameter& CPatchManager::ParameterForPlug(CPlug2& plug) {
  if (StoredPatchParameter* found = FindParameterForPlug(plug)) {
    // Older documents store values without a name: it comes from the module,
    // as for a new value, so the host sees the same names in the same order.
    if (found->name.empty()) found->name = NameFromModule(plug);
    return *found;
  }
  StoredPatchParameter p;
  p.typeNumber = plug.DataType();
  p.plug = &plug;
  p.name = NameFromModule(plug);
  p.FillSlots(plug.ValueText());
  return AddParameter(std::move(p));
}

bool HoldsPatchValue(const CPlug2& plug) {
  const std::uint32_t flags = plug.Flags();
  const bool patchValue = (flags & (PF_PATCH_VALUE | PF_GUI)) == (PF_PATCH_VALUE | PF_GUI) ||
                          (plug.Direction() == DR_IN && (flags & PF_PATCH_VALUE_IN) != 0);
  return patchValue && StoredPatchParameter::IsKnownType(plug.DataType());
}

std::string CPatchManager::PatchName(std::int32_t patch) const {
  if (patch == -1) patch = currentPatch_;
  for (const auto& [number, name] : patchNames)
    if (number == patch) return name;
  char text[32];
  std::snprintf(text, sizeof text, "Patch %3lld", static_cast<long long>(patch) + 1);
  return text;
}

void CPatchManager::SetPatchName(std::int32_t patch, std::string name) {
  if (patch == -1) patch = currentPatch_;
  for (auto& [number, stored] : patchNames)
    if (number == patch) {
      stored = std::move(name);
      return;
    }
  // Kept in number order, like the stored map.
  auto at = patchNames.begin();
  while (at != patchNames.end() && at->first < patch) ++at;
  patchNames.emplace(at, patch, std::move(name));
}

void CPatchManager::Load(ArchiveReader& ar) {
  currentPatch_ = ar.ReadInt32();
  const std::int32_t n = ar.ReadInt32();
  if (n < 0 || static_cast<std::size_t>(n) > ar.Remaining()) throw ArchiveError("bad patch name count");
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t number = ar.ReadInt32();
    patchNames.emplace_back(number, ar.ReadText());
  }
  const int v = ar.Version();
  if (v < 95311) return;
  std::int64_t remaining = -1;  // runs to the end mark
  if (v < 95321) {
    remaining = ar.ReadInt32();
    if (remaining < 0) remaining = 0;
  }
  while (remaining != 0) {
    if (remaining > 0) --remaining;
    const std::int32_t type = ar.ReadInt32();
    if (type < 0) break;
    // The width of an unknown class's values is unknown: the load cannot go on.
    if (!StoredPatchParameter::IsKnownType(type)) throw ArchiveError("unknown patch parameter type");
    StoredPatchParameter p;
    p.typeNumber = type;
    LoadParameter(ar, p);
    parameters.push_back(std::move(p));
  }
}

void CPatchManager::Store(ArchiveWriter& ar) const {
  ar.WriteInt32(currentPatch_);
  ar.WriteInt32(static_cast<std::int32_t>(patchNames.size()));
  for (const auto& [number, name] : patchNames) {
    ar.WriteInt32(number);
    ar.WriteText(name);
  }
  const int v = ar.Version();
  if (v < 95311) return;
  if (v < 95321) ar.WriteInt32(static_cast<std::int32_t>(parameters.size()));
  for (const auto& p : parameters) {
    ar.WriteInt32(p.typeNumber);
    StoreParameter(ar, p);
  }
  if (v >= 95321) ar.WriteInt32(-1);
}

}  // namespace kr
