#include "modules/legacy/text_entry.h"

#include <algorithm>

#include "engine/msg_text.h"
#include "modules/legacy/control_plugs.h"

void ug_text_entry::ListInterface(InterfaceList& list) {
  list.emplace_back(nullptr, nullptr, "Text Out", DR_OUT, DT_TEXT);
  legacy_controls::ListShowTitle(showTitle_, list);
  legacy_controls::ListHiddenMidi(*this, list);
}

void ug_text_entry::LoadTexts(std::span<const std::string> texts) {
  std::copy_n(texts.begin(), std::min(texts.size(), texts_.size()), texts_.begin());
}

void ug_text_entry::ReadValues(my_input_stream& stream, int first, int count) {
  for (int i = 0; i < count; ++i) texts_[static_cast<std::size_t>(first + i)] = ReadMsgText(stream);
}

void ug_text_entry::Open() {
  ug_control::Open();
  ApplyValue(-1, false);
}

void ug_text_entry::ApplyValue(int patch, bool) {
  const int slot = patch >= 0 && patch < kPrograms ? patch : CurrentProgram();
  UPlug* out = GetPlug(PN_TEXT_OUT);
  out->TextValue() = texts_[static_cast<std::size_t>(slot)];
  if ((flags & UGF_OPEN) == 0) return;
  Wake();
  out->SetState(clock, ST_STATIC);
}

std::string ug_text_entry::ValueText() { return GetPlug(PN_TEXT_OUT)->TextValue(); }
