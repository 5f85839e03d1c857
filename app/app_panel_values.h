// The plug-in's panel values: patch parameters (PatchPanelValues), and what
// the running engine tells the panel: meter levels, the lines consoles were
// sent; the files a patch names come through the application's lookup.
// GUI thread only.
#pragma once

#include "gui/panel/patch_panel_values.h"

namespace kr {

class SoundEngine;

class ModuleFiles;

class AppPanelValues final : public kr::gui::PatchPanelValues {
 public:
  AppPanelValues(SoundEngine& engine, kr::ModuleFiles& files) : engine_(engine), files_(files) {}
  std::optional<float> MeterLevel(const CUG& module) override;
  std::vector<std::string> TakePrinted(const CUG& module) override;
  std::vector<float> Curve(const CUG& module) override;
  kr::ModuleFiles* Files() override { return &files_; }

 private:
  SoundEngine& engine_;
  kr::ModuleFiles& files_;
};

}  // namespace kr
