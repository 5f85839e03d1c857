// The stored form of a container's patch memory: the current patch, the
// patch names and, from version 95311, the patch parameters with their 128
// slots. The behaviour (switching patches, the audio-side mirror) belongs to
// the patch-memory code, which builds on these records.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "formats/archive/runtime_class.h"

namespace kr {

class CPlug2;
class CContainer;

// One stored patch parameter. Slots hold integers (enumeration 0, bool 4,
// int 8), floats (6) or texts (1), by document type number.
struct StoredPatchParameter {
  static constexpr int kSlots = 128;
  std::int32_t typeNumber = 6;
  std::int32_t identifier = -1;
  CPlug2* plug = nullptr;
  std::string name;
  bool ignoresProgramChange = false;
  std::int32_t midiController = -1;
  bool hiddenFromHost = false;
  std::vector<std::int32_t> integers;
  std::vector<float> floats;
  std::vector<std::string> texts;

  static bool IsKnownType(std::int32_t typeNumber);
  // Gives every slot the value text converted to this parameter's type.
  void FillSlots(const std::string& valueText);
  // A slot's value as text (integers in decimal, floats as "%g" would lose
  // digits: shortest round-trip form), and back.
  std::string SlotText(int slot) const;
  void SetSlotText(int slot, const std::string& text);
  // The slot a program uses: 0 for every program when program changes are ignored.
  int SlotOf(int program) const { return ignoresProgramChange || program < 0 || program >= kSlots ? 0 : program; }
};

// Told when a patch memory's current patch changes (the runtime applies it).
class PatchMemoryListener {
 public:
  virtual void OnCurrentPatchChanged(std::int32_t patch) = 0;

 protected:
  ~PatchMemoryListener() = default;
};

class CPatchManager : public CObject {
 public:
  static const RuntimeClass kClass;
  static constexpr int kPatchCount = 128;
  const RuntimeClass& Class() const override { return kClass; }
  void Load(ArchiveReader& ar) override;
  void Store(ArchiveWriter& ar) const override;

  std::int32_t CurrentPatch() const { return currentPatch_; }
  // Sets the number only (loading); SetCurrentPatch also applies the patch.
  void SelectPatch(std::int32_t patch) { currentPatch_ = patch; }
  // Makes patch the current one; nothing happens when it already is. Then
  // the listener (the patch-memory runtime) applies the new patch, and the
  // process-wide hook, when one is set, hears of it.
  void SetCurrentPatch(std::int32_t patch);
  using ApplyPatchHook = void (*)(CPatchManager& memory, std::int32_t patch);
  static void SetApplyPatchHook(ApplyPatchHook hook);
  void SetListener(PatchMemoryListener* listener) { listener_ = listener; }
  PatchMemoryListener* Listener() const { return listener_; }

  // The user's name of a patch, or "Patch %3d" of its number plus 1; -1
  // means the current patch.
  std::string PatchName(std::int32_t patch) const;
  void SetPatchName(std::int32_t patch, std::string name);
  // Patch number and name, in stored order.
  std::vector<std::pair<std::int32_t, std::string>> patchNames;
  void AddPatchName(std::string name) {
    patchNames.emplace_back(static_cast<std::int32_t>(patchNames.size()), std::move(name));
  }
  // Stable addresses: the runtime keeps pointers to its entries.
  std::deque<StoredPatchParameter> parameters;

  // The entry made for a plug; null when there is none.
  StoredPatchParameter* FindParameterForPlug(const CPlug2& plug);
  // Adds an entry under its identifier when that is 0 or more and unused,
  // else under the smallest unused identifier.
  StoredPatchParameter& AddParameter(StoredPatchParameter parameter);
  // The entry for a plug that holds a patch value: the one already made for
  // it, or a new one named after its module with every slot holding the
  // plug's value.
  StoredPatchParameter& ParameterForPlug(CPlug2& plug);

  CContainer* Container() const { return container_; }
  void SetContainer(CContainer* container) { container_ = container; }

 private:
  std::int32_t currentPatch_ = 0;
  CContainer* container_ = nullptr;
  PatchMemoryListener* listener_ = nullptr;
};

// Does the plug hold a patch value (a GUI patch value, or an input marked as
// taking one) of a type patch memory can store?
bool HoldsPatchValue(const CPlug2& plug);

}  // namespace kr
