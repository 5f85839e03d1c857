#include "document/module_parameters.h"

#include "document/container.h"
#include "document/patch_manager.h"
#include "registry/plug_types.h"

namespace kr {

std::vector<std::string> LoadedSkinNames() { return {"default"}; }

// --- "Title" -------------------------------------------------------------------

std::string parameter_cug_xtra2::ValueText() const { return module_.Title(); }

void parameter_cug_xtra2::SetValueText(std::string_view text) { module_.SetTitle(std::string(text)); }

int parameter_cug_xtra2::DataType() const { return DT_TEXT; }

// --- "Skin", "Program", "Program Name" -----------------------------------------

std::string parameter_cug_xtra::Name() const {
  switch (index_) {
    case kSkin: return "Skin";
    case kProgram: return "Program";
    case kProgramName: return "Program Name";
  }
  return {};
}

int parameter_cug_xtra::DataType() const { return index_ == kProgramName ? DT_TEXT : DT_ENUM; }

std::string parameter_cug_xtra::ValueText() const {
  switch (index_) {
    case kSkin: {
      const std::vector<std::string> names = LoadedSkinNames();
      for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == container_.skinName) return std::to_string(i);
      return "0";
    }
    case kProgram: return std::to_string(container_.CurrentProgram());
    case kProgramName: return container_.ProgramName(container_.CurrentProgram());
  }
  return {};
}

void parameter_cug_xtra::SetValueText(std::string_view text) {
  switch (index_) {
    case kSkin: {
      const std::vector<std::string> names = LoadedSkinNames();
      const int number = ParameterTextToInt(text);
      if (number < 0 || static_cast<std::size_t>(number) >= names.size()) return;
      container_.SetSkinName(names[static_cast<std::size_t>(number)]);
      return;
    }
    case kProgram: {
      const int program = ParameterTextToInt(text);
      if (program < 0 || program >= CPatchManager::kPatchCount) return;
      container_.SetProgram(program);
      return;
    }
    case kProgramName:
      container_.RenameCurrentProgram(std::string(text));
      return;
  }
}

std::string parameter_cug_xtra::ItemList() const {
  switch (index_) {
    case kSkin: {
      std::string list;
      for (const std::string& name : LoadedSkinNames()) {
        if (!list.empty()) list.push_back(',');
        list.append(name);
      }
      return list;
    }
    case kProgram: return "range 0,127";
    case kProgramName: {
      // Items numbered from 0, so that the list's values are program numbers.
      // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) on the temporaries
      // of a chained concatenation here.
      std::string list = container_.ProgramName(0);
      list.append("=0");
      for (int p = 1; p < CPatchManager::kPatchCount; ++p) {
        list.push_back(',');
        list.append(container_.ProgramName(p));
      }
      return list;
    }
  }
  return {};
}

}  // namespace kr
