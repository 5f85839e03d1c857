#include "patch/program_chunk.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "document/controls.h"
#include "document/document_version.h"
#include "document/patch_manager.h"
#include "formats/archive/archive_error.h"
#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"
#include "patch/patch_memory.h"
#include "platform/platform.h"

namespace kr {

namespace {

constexpr int kPrograms = CPatchManager::kPatchCount;

// A chunk read whole before anything changes.
struct StagedChunk {
  std::int32_t magic = 0;
  std::vector<std::int32_t> keys;          // 852170, 852171
  std::vector<std::string> legacyNames;    // 852218
  std::size_t legacyCount = 0;
  std::vector<std::string> names;          // one per program to fill
  std::vector<std::vector<std::string>> legacyValues;  // [entry][program]
  struct Block {
    PatchParameter* parameter = nullptr;
    std::vector<std::string> values;
  };
  std::vector<Block> blocks;
  bool stoppedAtUnknownParameter = false;
};

std::int32_t ReadBounded(ArchiveReader& r, std::int64_t low, std::int64_t high, const char* what) {
  const std::int32_t n = r.ReadInt32();
  if (n < low || n > high) throw ArchiveError(what);
  return n;
}

std::string ReadValue(ArchiveReader& r, std::int32_t typeNumber) {
  switch (typeNumber) {
    case PV_ENUM: return std::to_string(r.ReadInt16());
    case PV_TEXT: return r.ReadText();
    case PV_BOOL: return r.ReadBool() ? "1" : "0";
    case PV_FLOAT: {
      StoredPatchParameter scratch;
      scratch.typeNumber = PV_FLOAT;
      scratch.floats.assign(1, r.ReadFloat());
      return scratch.SlotText(0);
    }
    default: return std::to_string(r.ReadInt32());
  }
}

void WriteValue(ArchiveWriter& w, const StoredPatchParameter& p, int slot) {
  const std::string text = p.SlotText(slot);
  switch (p.typeNumber) {
    case PV_ENUM: w.WriteInt16(static_cast<std::int16_t>(std::atoi(text.c_str()))); break;
    case PV_TEXT: w.WriteText(text); break;
    case PV_BOOL: w.WriteBool(std::atoi(text.c_str()) != 0); break;
    case PV_FLOAT: w.WriteFloat(static_cast<float>(std::atof(text.c_str()))); break;
    default: w.WriteInt32(std::atoi(text.c_str())); break;
  }
}

StagedChunk Stage(const ChunkSubject& subject, std::span<const std::uint8_t> bytes, bool isPreset) {
  ArchiveReader r(bytes, kCurrentDocumentVersion);
  StagedChunk staged;
  staged.magic = r.ReadInt32();
  const auto remainingInts = [&] { return static_cast<std::int64_t>(r.Remaining() / 4); };
  staged.legacyCount = static_cast<std::size_t>(ReadBounded(r, 0, remainingInts(), "bad legacy count"));
  std::int32_t parameterCount = 0;
  if (staged.magic == kChunkMagic) parameterCount = ReadBounded(r, 0, remainingInts(), "bad parameter count");
  std::vector<std::int32_t> identifiers;
  for (std::size_t i = 0; i < staged.legacyCount; ++i) {
    switch (staged.magic) {
      case kChunkMagic852154: r.ReadInt32(); break;  // not used
      case kChunkMagic852218: staged.legacyNames.push_back(r.ReadText()); break;
      default: staged.keys.push_back(r.ReadInt32()); break;
    }
  }
  for (std::int32_t i = 0; i < parameterCount; ++i) identifiers.push_back(r.ReadInt32());

  const std::int32_t n = ReadBounded(r, 1, kPrograms, "bad program count");
  if (isPreset && n != 1) throw ArchiveError("a bank where a program was expected");
  for (std::int32_t i = 0; i < n; ++i) staged.names.push_back(r.ReadText());
  staged.legacyValues.resize(staged.legacyCount);
  for (auto& values : staged.legacyValues)
    for (std::int32_t i = 0; i < n; ++i) values.push_back(r.ReadText());

  for (const std::int32_t id : identifiers) {
    PatchParameter* parameter = subject.memory != nullptr ? subject.memory->FindByIdentifier(id) : nullptr;
    if (parameter == nullptr) {
      // Its values' width is unknown: nothing after it can be read.
      staged.stoppedAtUnknownParameter = true;
      break;
    }
    StagedChunk::Block block;
    block.parameter = parameter;
    const std::int32_t count = ReadBounded(r, 0, n, "a block longer than the programs it fills");
    for (std::int32_t i = 0; i < count; ++i) block.values.push_back(ReadValue(r, parameter->TypeNumber()));
    staged.blocks.push_back(std::move(block));
  }
  return staged;
}

bool Matches(const StagedChunk& staged, std::size_t entry, const CControl& control) {
  switch (staged.magic) {
    case kChunkMagic852154: return true;
    case kChunkMagic852218: return control.Title() == staged.legacyNames[entry];
    default: return control.key == staged.keys[entry];
  }
}

// The legacy control a stored entry belongs to: the one after the last
// match when it fits (the common case of an unchanged list), else the first
// that fits; null when none does.
CControl* MatchLegacy(const StagedChunk& staged, std::size_t entry, const std::vector<CControl*>& controls,
                      std::size_t& next) {
  if (controls.empty()) return nullptr;
  if (next >= controls.size()) next = 0;
  if (Matches(staged, entry, *controls[next])) return controls[next++];
  if (staged.magic == kChunkMagic852154) return nullptr;
  for (std::size_t i = 0; i < controls.size(); ++i)
    if (Matches(staged, entry, *controls[i])) {
      next = i + 1;
      return controls[i];
    }
  return nullptr;
}

}  // namespace

std::vector<CControl*> LegacyOrder(std::vector<CControl*> controls) {
  std::stable_sort(controls.begin(), controls.end(), [](const CControl* a, const CControl* b) {
    if (a->KindByte() != b->KindByte()) return a->KindByte() < b->KindByte();
    return a->Title().compare(b->Title()) < 0;
  });
  return controls;
}

std::vector<std::uint8_t> WriteChunk(const ChunkSubject& subject, bool isPreset) {
  ArchiveWriter w(kCurrentDocumentVersion);
  const int current = subject.names != nullptr ? subject.names->CurrentPatch() : 0;
  const int first = isPreset ? current : 0;
  const int count = isPreset ? 1 : kPrograms;
  static const std::vector<std::unique_ptr<PatchParameter>> kNone;
  const auto& parameters = subject.memory != nullptr ? subject.memory->Parameters() : kNone;

  w.WriteInt32(kChunkMagic);
  w.WriteInt32(static_cast<std::int32_t>(subject.legacy.size()));
  w.WriteInt32(static_cast<std::int32_t>(parameters.size()));
  for (const CControl* c : subject.legacy) w.WriteInt32(c->key);
  for (const auto& p : parameters) w.WriteInt32(p->Identifier());
  w.WriteInt32(count);
  for (int i = 0; i < count; ++i)
    w.WriteText(subject.names != nullptr ? subject.names->PatchName(first + i) : std::string());
  for (const CControl* c : subject.legacy)
    for (int i = 0; i < count; ++i) w.WriteText(c->ChunkValueTextFor(first + i));
  for (const auto& p : parameters) {
    w.WriteInt32(count);
    for (int i = 0; i < count; ++i) WriteValue(w, p->Stored(), p->Stored().SlotOf(first + i));
  }
  return w.TakeBytes();
}

ChunkReadResult ReadChunk(const ChunkSubject& subject, std::span<const std::uint8_t> bytes, bool isPreset) {
  if (bytes.size() < 4) return ChunkReadResult::Ignored;
  const std::int32_t magic = static_cast<std::int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                                       static_cast<std::uint32_t>(bytes[3]) << 24);
  if (magic != kChunkMagic852154 && magic != kChunkMagic852170 && magic != kChunkMagic &&
      magic != kChunkMagic852218)
    return ChunkReadResult::Ignored;
  StagedChunk staged;
  try {
    staged = Stage(subject, bytes, isPreset);
  } catch (const std::exception&) {  // ArchiveError, or an allocation a damaged count asked for
    return ChunkReadResult::Refused;
  }

  const int current = subject.names != nullptr ? subject.names->CurrentPatch() : 0;
  const int first = isPreset ? current : 0;
  const int count = static_cast<int>(staged.names.size());
  if (subject.names != nullptr)
    for (int i = 0; i < count && first + i < kPrograms; ++i) subject.names->SetPatchName(first + i, staged.names[static_cast<std::size_t>(i)]);

  bool unmatched = staged.stoppedAtUnknownParameter;
  std::size_t next = 0;
  for (std::size_t entry = 0; entry < staged.legacyCount; ++entry) {
    CControl* control = MatchLegacy(staged, entry, subject.legacy, next);
    if (control == nullptr) {
      unmatched = true;
      continue;
    }
    for (int i = 0; i < count && first + i < kPrograms; ++i) {
      const std::string& text = staged.legacyValues[entry][static_cast<std::size_t>(i)];
      // What a control holding no values (a meter) writes: it stays without
      // values, so the next chunk is the same again.
      if (text.empty() && control->ProgramCount() == 0) continue;
      control->SetValueTextFor(first + i, text);
    }
  }
  for (const StagedChunk::Block& block : staged.blocks) {
    StoredPatchParameter& stored = block.parameter->Stored();
    for (std::size_t i = 0; i < block.values.size() && first + static_cast<int>(i) < kPrograms; ++i)
      stored.SetSlotText(stored.SlotOf(first + static_cast<int>(i)), block.values[i]);
  }
  if (unmatched) platform::ShowMessageBox({kSomeParametersNotLoaded, {}, platform::MessageIcon::Warning});

  // The current program's values take effect, even when its number stays.
  if (current >= first && current < first + count) {
    if (subject.memory != nullptr) subject.memory->ApplyAll(current);
    for (CControl* control : subject.legacy) control->AnnounceProgramValue();
  }
  return ChunkReadResult::Loaded;
}

}  // namespace kr
