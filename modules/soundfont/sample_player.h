// "Sample Player obsolete": the older SoundFont player, kept so that its
// patches play. It loads and plays as "Soundfont Player" does with the same
// files; our choice: as it is stored as a plain module (no panel control to
// hold the file), the file is its last plug, "File Name".
#pragma once

#include <memory>
#include <string>

#include "modules/soundfont/sample_player2.h"

namespace kr {

class ug_sample_player : public ug_sample_player2 {
 public:
  enum PlugIndex { PN_FILE = ug_sample_player2::PN_PATCH + 1 };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_sample_player>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;

 private:
  std::string file_;
};

}  // namespace kr
