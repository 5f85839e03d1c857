#include "patchtext/patch_dumper.h"

#include <algorithm>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "document/controls.h"
#include "document/document_file.h"
#include "document/hosted_modules.h"
#include "document/line2.h"
#include "document/panel_objects.h"
#include "document/patch_manager.h"
#include "formats/skin/png_codec.h"
#include "formats/skin/stored_image.h"
#include "patchtext/patch_names.h"
#include "patchtext/plug_lookup.h"
#include "registry/module_info.h"

namespace kr {

namespace patchtext {

namespace {

using ojson = nlohmann::ordered_json;

ojson RectJson(const DocRect& r) { return ojson::array({r.left, r.top, r.right, r.bottom}); }

class Dumper {
 public:
  ojson Document(const StoredDocument& doc) {
    ojson out = ojson::object();
    out["kestrune_patch"] = 1;
    ojson settings = Settings(doc.settings);
    if (!settings.empty()) out["settings"] = std::move(settings);
    if (!doc.embeddedFiles.empty()) {
      ojson files = ojson::array();
      for (const auto& f : doc.embeddedFiles)
        if (f) files.push_back({{"name", f->Name()}, {"base64", Base64Encode(f->Content())}});
      out["embedded_files"] = std::move(files);
    }
    if (!doc.skins.empty()) {
      ojson skins = ojson::array();
      for (const auto& skin : doc.skins)
        if (skin) skins.push_back(Skin(*skin));
      out["skins"] = std::move(skins);
    }
    if (doc.root) out["root"] = Container(*doc.root, /*asChild=*/false);
    return out;
  }

 private:
  // A stored skin in full: images as PNG (raw pixels of old documents are
  // turned into PNG) with their descriptors, and styles.
  static ojson Skin(const SkinInfo& skin) {
    ojson images = ojson::array();
    for (const auto& r : skin.images) {
      if (!r) continue;
      std::vector<std::uint8_t> png = r->png;
      if (png.empty()) {
        auto pixels = kr::skin::DecodeStoredPixels(*r, kr::skin::PixelMode::Colour);
        if (!pixels) continue;  // an image without pixels has nothing to keep
        png = kr::skin::EncodeColourPng(*pixels);
      }
      ojson im = ojson::object();
      im["name"] = r->name;
      if (r->mode != 0) im["mode"] = r->mode;
      im["png"] = Base64Encode(png);
      im["type"] = r->type;
      im["frame_size"] = ojson::array({r->frameWidth, r->frameHeight});
      im["last_frame"] = r->lastFrame;
      im["code"] = r->code;
      im["count"] = r->count;
      im["range"] = ojson::array({r->rangeStart, r->rangeEnd});
      im["handle_rect"] = RectJson(r->handleRect);
      im["padding"] = ojson::array({r->paddingLeft, r->paddingRight, r->paddingTop, r->paddingBottom});
      images.push_back(std::move(im));
    }
    ojson styles = ojson::array();
    for (const auto& st : skin.styles) {
      if (!st) continue;
      styles.push_back({{"name", st->name}, {"face", st->face}, {"size", st->size}, {"colour", st->colour},
                        {"background", st->background}, {"flags", st->flags}});
    }
    ojson out = ojson::object();
    out["name"] = skin.name;
    out["images"] = std::move(images);
    if (!styles.empty()) out["styles"] = std::move(styles);
    return out;
  }

  static ojson Settings(const DocumentHeaderSettings& s) {
    const DocumentHeaderSettings defaults;
    ojson out = ojson::object();
    if (!s.uniqueId.empty()) out["id"] = s.uniqueId;
    if (!s.vendor.empty()) out["vendor"] = s.vendor;
    if (!s.product.empty()) out["product"] = s.product;
    if (!s.aboutText.empty()) out["about"] = s.aboutText;
    if (!s.documentText.empty()) out["text"] = s.documentText;
    if (s.pluginFlags != defaults.pluginFlags) out["plugin_flags"] = s.pluginFlags;
    if (s.monoCapable != defaults.monoCapable) out["mono_capable"] = s.monoCapable;
    if (s.programCount != defaults.programCount) out["programs"] = s.programCount;
    if (s.panelWidth != 0 || s.panelHeight != 0) out["panel_size"] = ojson::array({s.panelWidth, s.panelHeight});
    return out;
  }

  // Ids unique within one container, taken from titles; the I/O module is "io".
  static std::map<const CDocOb*, std::string> AssignIds(const CContainer& c) {
    std::map<const CDocOb*, std::string> ids;
    std::set<std::string> used{"io"};
    const CUG* io = c.FindIOModule();
    if (io) ids[io] = "io";
    for (auto it = c.Children().rbegin(); it != c.Children().rend(); ++it) {
      const auto* module = DynamicKind<CUG>(it->get());
      if (!module || module == io) continue;
      std::string base = module->Title().empty() ? std::string("module") : module->Title();
      for (char& ch : base)
        if (ch == '.') ch = '_';
      std::string id = base;
      for (int n = 2; used.contains(id); ++n) id = base + "_" + std::to_string(n);
      used.insert(id);
      ids[module] = id;
    }
    return ids;
  }

  static bool IsFeaturePlug(const CUG& owner, const CPlug2& plug) {
    const auto* f = DynamicKind<CPlugFeature>(&plug);
    return f && f->featureIndex >= 0 && DynamicKind<CContainer>(&owner);
  }

  static ojson Values(const CUG& module) {
    ojson values = ojson::object();
    for (const auto& p : module.Plugs()) {
      if (DynamicKind<CPlugIO2>(p.get()) || IsFeaturePlug(module, *p)) continue;
      if (p->ValueText() != p->Definition().defaultText) values[PlugKey(module, *p)] = p->ValueText();
    }
    return values;
  }

  // The patch-memory entries of a module's plugs: what differs from an entry
  // the compiler would make from the plug's value alone.
  // A "VST Plugin": its file and the controllers bound to its parameters.
  static void HostedPlugin(const Ctl_VST_Plugin& hosted, ojson& out) {
    if (!hosted.pluginPath.empty()) out["plugin"] = hosted.pluginPath;
    ojson bindings = ojson::object();
    const auto& words = hosted.state.automationBindings;
    for (std::size_t i = 0; i < words.size(); ++i)
      if (const std::int32_t id = ControllerOfHostedBinding(words[i]); id != -1)
        bindings[std::to_string(i)] = ControllerName(id);
    if (!bindings.empty()) out["hosted_automation"] = std::move(bindings);
  }

  static ojson PatchValues(const CUG& module) {
    ojson out = ojson::object();
    CPatchManager* memory = module.NearestPatchMemory();
    if (memory == nullptr) return out;
    for (const auto& p : module.Plugs()) {
      const StoredPatchParameter* entry = memory->FindParameterForPlug(*p);
      if (entry == nullptr) continue;
      ojson value = ojson::object();
      if (entry->name != module.Title()) value["name"] = entry->name;
      int last = StoredPatchParameter::kSlots - 1;
      while (last >= 0 && entry->SlotText(last) == p->ValueText()) --last;
      if (last >= 0) {
        ojson programs = ojson::array();
        for (int i = 0; i <= last; ++i) programs.push_back(entry->SlotText(i));
        value["programs"] = std::move(programs);
      }
      if (entry->ignoresProgramChange) value["ignore_program_change"] = true;
      if (entry->midiController != -1) {
        // A stored number no name stands for stays a number.
        const std::string name = ControllerName(entry->midiController);
        if (ControllerByName(name))
          value["midi_controller"] = name;
        else
          value["midi_controller"] = entry->midiController;
      }
      if (entry->hiddenFromHost) value["hidden"] = true;
      const auto position = std::find_if(memory->parameters.begin(), memory->parameters.end(),
                                         [&](const auto& q) { return &q == entry; }) - memory->parameters.begin();
      if (entry->identifier != position) value["identifier"] = entry->identifier;
      if (!value.empty()) out[PlugKey(module, *p)] = std::move(value);
    }
    return out;
  }

  ojson Module(const CUG& module, const std::string& id) {
    ojson out = ojson::object();
    if (!module.Entry()) {
      out["unsupported"] = module.Class().name;
      out["title"] = module.Title();
      return out;
    }
    out["module"] = module.Entry()->name;
    out["id"] = id;
    if (module.Title() != module.Entry()->name) out["title"] = module.Title();
    if (module.Disabled()) out["disabled"] = true;
    if (module.StructureRect() != DocRect{0, 0, 20, 20}) out["rect"] = RectJson(module.StructureRect());
    ojson values = Values(module);
    if (!values.empty()) out["values"] = std::move(values);
    if (ojson patchValues = PatchValues(module); !patchValues.empty()) out["patch_values"] = std::move(patchValues);
    // The SoundFont modules' file, their control's text (as the compiler takes it).
    const std::string name = module.Entry()->name;
    bool fileSaysAll = false;
    if (const auto* control = dynamic_cast<const CControl*>(&module);
        control != nullptr && control->ValueType() == ControlValueType::Text &&
        (name == "Soundfont Player" || name == "Soundfont Oscillator") && !control->ValueText().empty()) {
      out["file"] = control->ValueText();
      // "file" alone fills program 0 and leaves the others empty.
      const auto& texts = control->texts;
      fileSaysAll = !texts.empty() && texts[0] == control->ValueText() &&
                    std::all_of(texts.begin() + 1, texts.end(), [](const std::string& t) { return t.empty(); });
    }
    if (const auto* hosted = DynamicKind<Ctl_VST_Plugin>(&module)) HostedPlugin(*hosted, out);
    if (DynamicKind<CControl>(&module) || DynamicKind<control_ob_base>(&module) || DynamicKind<CUG2>(&module)) {
      const DocRect panel = module.GetRect(kPanelView);
      if (panel != DocRect{}) out["panel_rect"] = RectJson(panel);
    }
    if (const auto* control = DynamicKind<CControl>(&module); control != nullptr && !fileSaysAll) {
      ojson programValues = ojson::array();
      switch (control->ValueType()) {
        case ControlValueType::Integer:
          for (auto v : control->integers) programValues.push_back(v);
          break;
        case ControlValueType::Text:
          for (const auto& v : control->texts) programValues.push_back(v);
          break;
        case ControlValueType::Number:
          for (auto v : control->numbers) programValues.push_back(v);
          break;
      }
      if (!programValues.empty()) out["control_values"] = std::move(programValues);
    }
    return out;
  }

  static ojson SubPanel(const CPortal& portal) {
    static const char* const kBars[] = {"Auto", "None", "Enable"};
    ojson out = {{"sub_panel", portal.text}, {"rect", RectJson(portal.rect)}};
    out["scroll_bars"] = kBars[static_cast<int>(portal.Bars())];
    return out;
  }

  // A tab box's pages, by the ids of the objects they list.
  template <class Ids>
  static ojson WithPages(ojson out, const CUG& module, const Ids& ids) {
    const auto* box = DynamicKind<CTabBox>(&module);
    if (!box || box->tabs.empty()) return out;
    ojson pages = ojson::object();
    // Only objects of the container: the list owns nothing and may name
    // objects since deleted, which are never looked at.
    for (const auto& [ob, page] : box->tabs)
      if (const auto it = ids.find(ob); it != ids.end()) pages[it->second] = page;
    out["pages"] = std::move(pages);
    return out;
  }

  ojson Container(const CContainer& c, bool asChild, const std::string& id = {}) {
    ojson out = ojson::object();
    if (asChild) {
      out["module"] = "Container";
      out["id"] = id;
    }
    if (c.Title() != "Container") out["title"] = c.Title();
    if (c.Disabled()) out["disabled"] = true;
    if (c.StructureRect() != DocRect{0, 0, 20, 20}) out["rect"] = RectJson(c.StructureRect());
    if (c.skinName != "default") out["skin"] = c.skinName;
    if (asChild && c.panelRect != DocRect{}) out["panel_rect"] = RectJson(c.panelRect);
    if (const DocPoint s = c.scrollPositions[0]; s != DocPoint{}) out["panel_scroll"] = ojson::array({s.x, s.y});
    if (ojson values = Values(c); !values.empty()) out["values"] = std::move(values);

    const auto ids = AssignIds(c);
    ojson modules = ojson::array();
    // Children were added at the front of the list: the last one came first.
    for (auto it = c.Children().rbegin(); it != c.Children().rend(); ++it) {
      const CDocOb* child = it->get();
      if (DynamicKind<CLine2>(child)) continue;
      if (const auto* inner = DynamicKind<CContainer>(child))
        modules.push_back(Container(*inner, true, ids.at(inner)));
      else if (const auto* module = DynamicKind<CUG>(child))
        modules.push_back(WithPages(Module(*module, ids.at(module)), *module, ids));
      else if (const auto* box = DynamicKind<CPanelBox2>(child))
        modules.push_back({{"panel_group", box->caption}, {"rect", RectJson(box->rect)}});
      else if (const auto* portal = DynamicKind<CPortal>(child))
        modules.push_back(SubPanel(*portal));
      else
        modules.push_back({{"unsupported", child->Class().name}});
    }
    if (!modules.empty()) out["modules"] = std::move(modules);

    ojson plugs = ojson::array();
    ojson features = ojson::object();
    for (const auto& p : c.Plugs()) {
      if (const auto* io = DynamicKind<CPlugIO2>(p.get());
          io && io->Partner() && (io->Direction() == DR_IN || io->Direction() == DR_OUT)) {
        ojson plug = ojson::object();
        if (!io->Name().empty()) plug["name"] = io->Name();
        plug["direction"] = DirectionName(io->Direction());
        if (io->DataType() != DT_AUDIO) plug["type"] = DataTypeName(io->DataType());
        plugs.push_back(std::move(plug));
      } else if (const auto* f = DynamicKind<CPlugFeature>(p.get()); f && f->featureIndex >= 0) {
        features[CContainer::Feature(f->featureIndex).name] = c.FeatureValue(f->featureIndex);
      }
    }
    if (!plugs.empty()) out["plugs"] = std::move(plugs);
    if (!features.empty()) out["features"] = std::move(features);

    if (const CPatchManager* memory = c.PatchMemory(); memory && (memory->CurrentPatch() != 0 || !memory->patchNames.empty())) {
      ojson programs = ojson::object();
      if (memory->CurrentPatch() != 0) programs["current"] = memory->CurrentPatch();
      // By program number; null for a program without a name of its own.
      ojson names = ojson::array();
      for (const auto& [number, name] : memory->patchNames) {
        if (number < 0 || number >= CPatchManager::kPatchCount) continue;
        while (names.size() < static_cast<std::size_t>(number)) names.push_back(nullptr);
        if (names.size() == static_cast<std::size_t>(number)) names.push_back(name);
        else names[static_cast<std::size_t>(number)] = name;
      }
      if (!names.empty()) programs["names"] = std::move(names);
      out["programs"] = std::move(programs);
    }

    ojson wires = ojson::array();
    for (const auto& child : c.Children()) {
      const auto* wire = DynamicKind<CLine2>(child.get());
      if (!wire || !wire->From() || !wire->To()) continue;
      const std::string from = End(ids, *wire->From());
      const std::string to = End(ids, *wire->To());
      if (!from.empty() && !to.empty()) wires.push_back({{"from", from}, {"to", to}});
    }
    if (!wires.empty()) out["wires"] = std::move(wires);
    return out;
  }

  static std::string End(const std::map<const CDocOb*, std::string>& ids, const CPlug2& plug) {
    const CUG* owner = plug.Owner();
    if (!owner) return {};
    const auto it = ids.find(owner);
    if (it == ids.end()) return {};
    return it->second + "." + PlugKey(*owner, plug);
  }
};

}  // namespace

std::string DumpPatchText(const StoredDocument& document) {
  return Dumper().Document(document).dump(2) + "\n";
}

}  // namespace patchtext

}  // namespace kr
