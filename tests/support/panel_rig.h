// A panel built from a patch text, as kestrune panel builds it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <typeinfo>

#include "base/whole_file.h"
#include "document/container.h"
#include "document/document_file.h"
#include "formats/skin/png_codec.h"
#include "gui/panel/panel_image.h"
#include "gui/panel/panel_view.h"
#include "patchtext/patch_compiler.h"
#include "support/temp_dir.h"  // ReadText

using namespace kr;

namespace krtest {

inline const std::filesystem::path kGuiData = std::filesystem::path(KR_SOURCE_DIR) / "tests" / "data" / "panels";

struct PanelRig {
  explicit PanelRig(const std::string& json, const std::filesystem::path& base = kGuiData, int program = -1,
                    std::unique_ptr<kr::gui::PanelValues> valueSource = nullptr)
      : document(patchtext::CompilePatchText(json, base)),
        values(valueSource ? std::move(valueSource) : std::make_unique<kr::gui::PanelValues>()) {
    if (program >= 0)
      for (const auto& c : document->root->Children())
        if (auto* top = DynamicKind<CContainer>(c.get())) {
          top->SetProgram(program);
          break;
        }
    skins = std::make_unique<kr::gui::SkinRegistry>(document->skins);
    view = std::make_unique<kr::gui::PanelView>(*document, *skins, *values);
    view->OpenPanel();
  }
  std::vector<kr::gui::Pixel> Render(const kr::gui::Rect& r) { return kr::gui::RenderPanelArea(*view, r); }
  kr::gui::Pixel PixelAt(kr::gui::Point p) { return Render({p.x, p.y, p.x + 1, p.y + 1})[0]; }
  std::vector<kr::gui::Pixel> RenderAll() { return Render({0, 0, view->PanelSize().width, view->PanelSize().height}); }

  std::unique_ptr<StoredDocument> document;
  std::unique_ptr<kr::gui::SkinRegistry> skins;
  std::unique_ptr<kr::gui::PanelValues> values;
  std::unique_ptr<kr::gui::PanelView> view;
};

// The module of that title in the document's top container; throws when none has it.
inline CUG& ModuleTitled(StoredDocument& document, const std::string& title) {
  for (const auto& c : document.root->Children())
    if (auto* top = DynamicKind<CContainer>(c.get()))
      for (const auto& m : top->Children())
        if (auto* ug = DynamicKind<CUG>(m.get()); ug && ug->Title() == title) return *ug;
  throw std::runtime_error("no module " + title);
}

// The pixels of the rig's whole panel that differ from tests/gui/golden/<name>.png;
// -1 when the golden is missing or of another size.
inline int PixelsDifferingFromGolden(PanelRig& rig, const std::string& name) {
  const auto golden = kr::ReadWholeFile(KR_SOURCE_DIR "/tests/gui/golden/" + name + ".png");
  const auto expected = golden ? kr::skin::DecodePng(*golden, kr::skin::PixelMode::Colour) : std::nullopt;
  const auto pixels = rig.RenderAll();
  if (!expected || expected->colour.size() != pixels.size()) return -1;
  int differing = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) differing += pixels[i] != (expected->colour[i] & 0x00FFFFFF);
  return differing;
}

// Calls f on ob and on everything below it, front to back, depth first.
template <class F>
void WalkTree(CVisualOb& ob, const F& f) {
  f(ob);
  for (const auto& c : ob.Children()) WalkTree(*c, f);
}

// The first object of exactly the class W at or below ob; null when none.
template <class W>
W* FindWidget(CVisualOb& ob) {
  W* found = nullptr;
  WalkTree(ob, [&](CVisualOb& o) {
    if (!found && typeid(o) == typeid(W)) found = static_cast<W*>(&o);
  });
  return found;
}

// The centre of an object in panel coordinates.
inline kr::gui::Point CentreOf(const CVisualOb& ob) {
  const kr::gui::Point at = ob.RootPosition();
  return {at.x + ob.GetRect().Width() / 2, at.y + ob.GetRect().Height() / 2};
}

}  // namespace krtest
