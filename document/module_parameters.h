// The named parameters that modules own besides their plugs: every module's
// "Title" (parameter_cug_xtra2) and a container's "Skin", "Program" and
// "Program Name" (parameter_cug_xtra, indices 0, 1, 2). They are found
// through HasParameters and never offered to the host.
#pragma once

#include <string>
#include <vector>

#include "document/generic_parameter.h"

namespace kr {

class CUG;
class CContainer;

class parameter_cug_xtra2 final : public generic_parameter {
 public:
  explicit parameter_cug_xtra2(CUG& module) : module_(module) {}
  std::string ValueText() const override;
  void SetValueText(std::string_view text) override;
  std::string Name() const override { return "Title"; }
  int DataType() const override;
  // The module's title changed by other means.
  void TitleChanged() { AnnounceValue(); }

 private:
  CUG& module_;
};

class parameter_cug_xtra final : public generic_parameter {
 public:
  enum Index { kSkin = 0, kProgram = 1, kProgramName = 2 };
  parameter_cug_xtra(CContainer& container, Index index) : container_(container), index_(index) {}

  std::string ValueText() const override;
  void SetValueText(std::string_view text) override;
  std::string Name() const override;
  int DataType() const override;
  std::string ItemList() const override;
  Index Which() const { return index_; }
  // The container's program or skin changed: tell observers.
  void Announce(void* mark = nullptr) { AnnounceValue(mark); }

 private:
  CContainer& container_;
  Index index_;
};

// The names of the skins a container can choose from, in their numbering.
// There is no skin system yet: the one skin is "default".
std::vector<std::string> LoadedSkinNames();

}  // namespace kr
