#include "modules/soundfont/sample_player.h"

#include "registry/plug_declaration.h"

namespace kr {

void ug_sample_player::ListInterface(InterfaceList& list) {
  ug_sample_player2::ListInterface(list);
  static constexpr PlugDecl<ug_sample_player> kPlugs[] = {
      {.at = PN_FILE,
       .name = "File Name",
       .type = DT_TEXT,
       .list = "sf2",
       .flags = PF_FILENAME,
       .hint = "The SoundFont (.sf2) file to play",
       .bind = &ug_sample_player::file_},
  };
  static_assert(PlugIndicesMatch(kPlugs, PN_FILE) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

void ug_sample_player::Open() {
  if ((flags & UGF_CLONE) == 0) SetFileName(file_);  // voice copies take the master's
  ug_sample_player2::Open();
}

}  // namespace kr
