#include "modules/legacy/text_entry.h"

#include "engine/msg_text.h"
#include "engine/uplug.h"
#include "modules/legacy/control_plugs.h"
#include "registry/plug_declaration.h"

namespace kr {

ug_text_entry::ug_text_entry() {
  ignoreProgramChange = true;
  text_.reserve(UPlug::kTextCapacity);
  skipped_.reserve(UPlug::kTextCapacity);
}

void ug_text_entry::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_text_entry> kPlugs[] = {
      {.at = PN_TEXT_OUT, .name = "Text Out", .direction = DR_OUT, .type = DT_TEXT},
  };
  static_assert(PlugIndicesMatch(kPlugs, 0) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
  legacy_controls::ListShowTitle(showTitle_, list);
  legacy_controls::ListHiddenMidi(*this, list);
}

void ug_text_entry::LoadTexts(std::span<const std::string> texts) {
  const auto slot = static_cast<std::size_t>(CurrentProgram());
  text_.assign(slot < texts.size() ? texts[slot] : std::string());
}

void ug_text_entry::ReadValues(my_input_stream& stream, int first, int count) {
  for (int i = 0; i < count; ++i) ReadMsgText(stream, first + i == CurrentProgram() ? text_ : skipped_);
}

void ug_text_entry::Open() {
  ug_control::Open();
  ApplyValue(-1, false);
}

void ug_text_entry::ApplyValue(int, bool) {
  UPlug* out = GetPlug(PN_TEXT_OUT);
  out->TextValue().assign(text_);
  if ((flags & UGF_OPEN) == 0) return;
  Wake();
  out->SetState(clock, ST_STATIC);
}

}  // namespace kr
