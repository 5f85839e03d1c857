#include "patchtext/patch_compiler.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "base/path_names.h"
#include "document/controls.h"
#include "document/hosted_modules.h"
#include "document/document_builder.h"
#include "document/panel_objects.h"
#include "document/patch_manager.h"
#include "document/plug2.h"
#include "formats/skin/png_codec.h"
#include "gui/skin/skin.h"
#include "patchtext/json_with_lines.h"
#include "patchtext/patch_names.h"
#include "patchtext/patch_text_error.h"
#include "patchtext/plug_lookup.h"
#include "patchtext/skin_folder.h"
#include "registry/module_info.h"

namespace kr {

namespace patchtext {

namespace {

using json = nlohmann::json;

// One JSON value with the pointer that locates it, for error lines.
struct At {
  const json& value;
  std::string pointer;

  At Child(std::string_view key) const { return {value.at(std::string(key)), pointer + "/" + std::string(key)}; }
  At Item(std::size_t index) const { return {value.at(index), pointer + "/" + std::to_string(index)}; }
  bool Has(std::string_view key) const { return value.is_object() && value.contains(std::string(key)); }
};

class Compiler {
 public:
  Compiler(const JsonWithLines& source, std::filesystem::path baseDirectory, CompileOptions options)
      : source_(source), baseDirectory_(std::move(baseDirectory)), options_(options) {}

  std::unique_ptr<StoredDocument> Run() {
    const At top{source_.value, ""};
    ExpectObject(top, {"kestrune_patch", "settings", "embedded_files", "embed_named_files", "skins", "root"});
    if (top.Has("settings")) Settings(top.Child("settings"));
    if (top.Has("embedded_files")) EmbeddedFiles(top.Child("embedded_files"));
    if (top.Has("embed_named_files") && Bool(top.Child("embed_named_files"))) options_.embedNamedFiles = true;
    if (top.Has("skins")) Skins(top.Child("skins"));
    if (!top.Has("root")) Fail(top, "the patch has no \"root\" container");
    Container(builder_.Root(), top.Child("root"));
    if (options_.embedNamedFiles) EmbedNamedFiles();
    auto document = builder_.Finish();
    PatchValues();  // the patch memories' entries exist once the tree is finished
    return document;
  }

 private:
  [[noreturn]] void Fail(const At& at, const std::string& problem) const {
    throw PatchTextError(source_.LineOf(at.pointer), problem);
  }

  void ExpectObject(const At& at, std::initializer_list<std::string_view> keys) const {
    if (!at.value.is_object()) Fail(at, "expected an object");
    for (const auto& [key, value] : at.value.items()) {
      bool known = false;
      for (std::string_view k : keys) known = known || k == key;
      if (!known) Fail(at.Child(key), "unknown key \"" + key + "\"");
    }
  }

  std::string Text(const At& at) const {
    if (!at.value.is_string()) Fail(at, "expected a text");
    return at.value.get<std::string>();
  }
  // A plug value: a text, or a number or truth value written as one.
  std::string ValueText(const At& at) const {
    if (at.value.is_string()) return at.value.get<std::string>();
    if (at.value.is_boolean()) return at.value.get<bool>() ? "1" : "0";
    if (at.value.is_number()) return at.value.dump();
    Fail(at, "expected a text or a number");
  }
  std::int32_t Int(const At& at) const {
    if (!at.value.is_number_integer()) Fail(at, "expected a whole number");
    const auto v = at.value.get<std::int64_t>();
    if (v < INT32_MIN || v > INT32_MAX) Fail(at, "number out of range");
    return static_cast<std::int32_t>(v);
  }
  // A name ("CC 74", "NRPN 300", "learn", ...) or the stored number itself.
  std::int32_t Controller(const At& at) const {
    if (at.value.is_number_integer()) return Int(at);
    const auto id = ControllerByName(Text(at));
    if (!id) Fail(at, "a MIDI controller is \"none\", \"learn\", \"CC n\" (0-127), \"RPN n\" or \"NRPN n\" (0-16383)");
    return *id;
  }
  bool Bool(const At& at) const {
    if (!at.value.is_boolean()) Fail(at, "expected true or false");
    return at.value.get<bool>();
  }
  DocRect Rect(const At& at) const {
    if (!at.value.is_array() || at.value.size() != 4) Fail(at, "expected [left, top, right, bottom]");
    return {Int(at.Item(0)), Int(at.Item(1)), Int(at.Item(2)), Int(at.Item(3))};
  }
  DocPoint Point(const At& at) const {
    if (!at.value.is_array() || at.value.size() != 2) Fail(at, "expected [x, y]");
    return {Int(at.Item(0)), Int(at.Item(1))};
  }
  const json& Array(const At& at) const {
    if (!at.value.is_array()) Fail(at, "expected a list");
    return at.value;
  }

  void Settings(const At& at) {
    ExpectObject(at, {"id", "vendor", "product", "about", "instrument", "plugin_flags", "mono_capable", "programs",
                      "panel_size", "text"});
    auto& s = builder_.Document().settings;
    if (at.Has("id")) s.uniqueId = Text(at.Child("id"));
    if (at.Has("vendor")) s.vendor = Text(at.Child("vendor"));
    if (at.Has("product")) s.product = Text(at.Child("product"));
    if (at.Has("about")) s.aboutText = Text(at.Child("about"));
    if (at.Has("text")) s.documentText = Text(at.Child("text"));
    if (at.Has("plugin_flags")) s.pluginFlags = Int(at.Child("plugin_flags"));
    if (at.Has("instrument")) {
      if (Bool(at.Child("instrument")))
        s.pluginFlags |= 1;
      else
        s.pluginFlags &= ~1;
    }
    if (at.Has("mono_capable")) s.monoCapable = Bool(at.Child("mono_capable"));
    if (at.Has("programs")) {
      s.programCount = Int(at.Child("programs"));
      if (s.programCount < 1 || s.programCount > 128) Fail(at.Child("programs"), "programs must lie between 1 and 128");
    }
    if (at.Has("panel_size")) {
      const At size = at.Child("panel_size");
      if (!size.value.is_array() || size.value.size() != 2) Fail(size, "expected [width, height]");
      s.panelWidth = Int(size.Item(0));
      s.panelHeight = Int(size.Item(1));
    }
  }

  void EmbeddedFiles(const At& at) {
    for (std::size_t i = 0; i < Array(at).size(); ++i) {
      const At file = at.Item(i);
      ExpectObject(file, {"name", "path", "base64"});
      if (!file.Has("name")) Fail(file, "an embedded file needs a \"name\"");
      std::string name = Text(file.Child("name"));
      std::vector<std::uint8_t> bytes;
      if (file.Has("path") == file.Has("base64")) Fail(file, "give an embedded file either \"path\" or \"base64\"");
      if (file.Has("path")) {
        // The system's own separators throughout, also in the message.
        const std::filesystem::path path = (baseDirectory_ / Text(file.Child("path"))).make_preferred();
        std::ifstream in(path, std::ios::binary);
        if (!in) Fail(file.Child("path"), "can't read embedded file " + path.string());
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      } else {
        auto decoded = Base64Decode(Text(file.Child("base64")));
        if (!decoded) Fail(file.Child("base64"), "not base64 text");
        bytes = std::move(*decoded);
      }
      embeddedNames_.push_back(kr::ToLowerAscii(FileNamePart(name)));
      builder_.EmbedFile(std::move(name), std::move(bytes));
    }
  }

  static std::string FileNamePart(std::string_view name) {
    const std::size_t cut = name.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? name : name.substr(cut + 1));
  }

  // A file a module names (a file-name plug, or a SoundFont module's "file").
  void NoteNamedFile(const At& at, std::string name, std::string_view defaultExtension) {
    if (name.empty()) return;
    if (kr::ExtensionLowerCase(name).empty() && !defaultExtension.empty()) {
      name += '.';  // piece by piece: GCC 12 at -O3 warns falsely on "." + text
      name += defaultExtension;
    }
    namedFiles_.push_back({at.pointer, std::move(name)});
  }

  // Every named file found beside the patch text goes into the document,
  // under its file name, unless a file of that name is embedded already.
  void EmbedNamedFiles() {
    for (const auto& [pointer, name] : namedFiles_) {
      const std::string key = kr::ToLowerAscii(FileNamePart(name));
      if (std::find(embeddedNames_.begin(), embeddedNames_.end(), key) != embeddedNames_.end()) continue;
      const std::filesystem::path path = (baseDirectory_ / name).make_preferred();
      std::ifstream in(path, std::ios::binary);
      if (!in) Fail(At{source_.value, pointer}, "can't read " + path.string() + " to embed it");
      std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      embeddedNames_.push_back(key);
      builder_.EmbedFile(FileNamePart(name), std::move(bytes));
    }
  }

  // --- skins ------------------------------------------------------------------

  void Skins(const At& at) {
    auto& skins = builder_.Document().skins;
    for (std::size_t i = 0; i < Array(at).size(); ++i) {
      const At entry = at.Item(i);
      std::unique_ptr<SkinInfo> skin;
      if (entry.value.is_string()) {
        const std::string name = Text(entry);
        if (!kr::EqualsIgnoringCase(name, "default"))
          Fail(entry, "only the built-in skin \"default\" is named alone; give {\"name\", \"path\"} for \"" + name + "\"");
        skin = kr::gui::MakeBuiltInDefaultSkin();
      } else {
        ExpectObject(entry, {"name", "path", "images", "styles"});
        if (!entry.Has("name")) Fail(entry, "a skin needs a \"name\"");
        if (entry.Has("path") == entry.Has("images")) Fail(entry, "give a skin either \"path\" (a skin folder) or \"images\"");
        if (entry.Has("path")) {
          std::vector<std::string> problems;
          skin = ReadSkinFolder(Text(entry.Child("name")), baseDirectory_ / Text(entry.Child("path")), problems);
          if (!skin) Fail(entry.Child("path"), "can't read the skin folder " + Text(entry.Child("path")));
          if (!problems.empty()) Fail(entry.Child("path"), "skin folder " + Text(entry.Child("path")) + ": " + problems.front());
        } else {
          skin = StoredSkin(entry);
        }
      }
      for (const auto& other : skins)
        if (kr::EqualsIgnoringCase(other->name, skin->name)) Fail(entry, "two skins are called \"" + skin->name + "\"");
      skins.push_back(std::move(skin));
    }
  }

  // A skin as the dump writes it: images (PNG as base64, with their
  // descriptors) and styles.
  std::unique_ptr<SkinInfo> StoredSkin(const At& at) {
    auto skin = std::make_unique<SkinInfo>();
    skin->name = Text(at.Child("name"));
    const At images = at.Child("images");
    for (std::size_t i = 0; i < Array(images).size(); ++i) {
      const At im = images.Item(i);
      ExpectObject(im, {"name", "mode", "png", "count", "code", "range", "handle_rect", "frame_size", "last_frame",
                        "type", "padding"});
      auto r = std::make_unique<CAnimBitmap>();
      r->name = Text(im.Child("name"));
      if (im.Has("mode")) r->mode = Int(im.Child("mode"));
      auto png = Base64Decode(Text(im.Child("png")));
      if (!png) Fail(im.Child("png"), "not base64 text");
      auto pixels = kr::skin::DecodePng(*png, kr::skin::PixelMode::Colour);
      if (!pixels) Fail(im.Child("png"), "not a PNG image this program can read");
      r->png = std::move(*png);
      r->width = pixels->width;
      r->height = pixels->height;
      if (im.Has("count")) r->count = Int(im.Child("count"));
      if (im.Has("code")) r->code = Int(im.Child("code"));
      if (im.Has("range")) {
        const At range = im.Child("range");
        if (!range.value.is_array() || range.value.size() != 2) Fail(range, "expected [start, end]");
        r->rangeStart = Int(range.Item(0));
        r->rangeEnd = Int(range.Item(1));
      }
      if (im.Has("handle_rect")) r->handleRect = Rect(im.Child("handle_rect"));
      if (im.Has("frame_size")) {
        const At fs = im.Child("frame_size");
        if (!fs.value.is_array() || fs.value.size() != 2) Fail(fs, "expected [width, height]");
        r->frameWidth = Int(fs.Item(0));
        r->frameHeight = Int(fs.Item(1));
      }
      if (im.Has("last_frame")) r->lastFrame = Int(im.Child("last_frame"));
      if (im.Has("type")) r->type = Int(im.Child("type"));
      if (im.Has("padding")) {
        const DocRect p = Rect(im.Child("padding"));  // left, right, top, bottom
        r->paddingLeft = p.left;
        r->paddingRight = p.top;
        r->paddingTop = p.right;
        r->paddingBottom = p.bottom;
      }
      skin->images.push_back(std::move(r));
    }
    if (at.Has("styles")) {
      const At styles = at.Child("styles");
      for (std::size_t i = 0; i < Array(styles).size(); ++i) {
        const At st = styles.Item(i);
        ExpectObject(st, {"name", "face", "size", "colour", "background", "flags"});
        auto style = std::make_unique<SkinFontInfo>();
        style->name = Text(st.Child("name"));
        if (st.Has("face")) style->face = Text(st.Child("face"));
        if (st.Has("size")) style->size = Int(st.Child("size"));
        if (st.Has("colour")) style->colour = Int(st.Child("colour"));
        if (st.Has("background")) style->background = Int(st.Child("background"));
        if (st.Has("flags")) style->flags = Int(st.Child("flags"));
        skin->styles.push_back(std::move(style));
      }
    }
    return skin;
  }

  // --- containers -------------------------------------------------------------

  struct Scope {
    CContainer& container;
    std::map<std::string, CUG*, std::less<>> ids;  // null: more than one module has this id
    // Controls' plug values, given again after the wires: a wire sets a
    // slider's range from the input it feeds, the text's values win.
    std::vector<std::pair<CUG*, At>> controlValues;
    // Values of plugs a GUI-side module makes only once wired (the inputs
    // of "Bools to List"), given after the wires.
    struct WiredPlugValue {
      CUG* module;
      At values;
      std::string plug;
    };
    std::vector<WiredPlugValue> wiredPlugValues;
    // Tab boxes' page lists, resolved once every id of the container is known.
    std::vector<std::pair<CTabBox*, At>> pages;
  };

  void Container(CContainer& container, const At& at) {
    if (++depth_ > kMaxDepth) Fail(at, "containers nested more than " + std::to_string(kMaxDepth) + " deep");
    ContainerContents(container, at);
    --depth_;
  }

  void ContainerContents(CContainer& container, const At& at) {
    ExpectObject(at, {"module", "id", "title", "disabled", "rect", "panel_rect", "skin", "values", "modules", "plugs",
                      "features", "programs", "wires", "panel_scroll"});
    Scope scope{container, {}, {}, {}, {}};
    if (at.Has("title")) container.SetTitle(Text(at.Child("title")));
    if (at.Has("disabled")) container.SetDisabled(Bool(at.Child("disabled")));
    if (at.Has("rect")) container.SetRect(kStructureView, Rect(at.Child("rect")));
    if (at.Has("skin")) container.skinName = Text(at.Child("skin"));
    if (at.Has("panel_rect")) container.SetRect(kPanelView, Rect(at.Child("panel_rect")));
    if (at.Has("panel_scroll")) container.scrollPositions[0] = Point(at.Child("panel_scroll"));
    if (at.Has("values")) Values(container, at.Child("values"));
    if (at.Has("modules")) {
      const At modules = at.Child("modules");
      for (std::size_t i = 0; i < Array(modules).size(); ++i) Child(scope, modules.Item(i));
    }
    for (const auto& [box, list] : scope.pages) Pages(scope, *box, list);
    if (at.Has("plugs")) BoundaryPlugs(container, at.Child("plugs"));
    if (at.Has("features")) Features(container, at.Child("features"));
    if (at.Has("programs")) Programs(container, at.Child("programs"));
    if (at.Has("wires")) {
      const At wires = at.Child("wires");
      for (std::size_t i = 0; i < Array(wires).size(); ++i) Wire(scope, wires.Item(i));
    }
    for (const auto& late : scope.wiredPlugValues) PlugValue(*late.module, late.values, late.plug);
    for (const auto& [module, values] : scope.controlValues) Values(*module, values);
  }

  void Child(Scope& scope, const At& at) {
    if (!at.value.is_object()) Fail(at, "expected an object");
    if (at.Has("panel_group")) {
      ExpectObject(at, {"panel_group", "rect"});
      const DocRect rect = at.Has("rect") ? Rect(at.Child("rect")) : DocRect{0, 0, 200, 150};
      builder_.AddObject(scope.container, std::make_unique<CPanelBox2>(FindModuleEntry("Panel Group"),
                                                                       Text(at.Child("panel_group")), rect));
      return;
    }
    if (at.Has("sub_panel")) return SubPanel(scope, at);
    if (at.Has("unsupported"))
      Fail(at, "the patch text cannot describe a \"" + Text(at.Child("unsupported")) + "\" object");
    if (!at.Has("module")) Fail(at, "a module needs a \"module\" (its registry name)");
    const std::string name = Text(at.Child("module"));
    CUG* made = nullptr;
    if (name == "Container") {
      CContainer& inner = builder_.AddContainer(scope.container);
      Container(inner, at);
      made = &inner;
    } else {
      ExpectObject(at, {"module", "id", "title", "disabled", "rect", "panel_rect", "control_values", "values", "file",
                        "patch_values", "plugin", "hosted_automation", "pages"});
      try {
        made = &builder_.AddModule(scope.container, name);
      } catch (const BuildError&) {
        Fail(at.Child("module"), "unknown module \"" + name + "\"");
      }
      if (at.Has("title")) made->SetTitle(Text(at.Child("title")));
      if (at.Has("disabled")) made->SetDisabled(Bool(at.Child("disabled")));
      if (at.Has("rect")) made->SetRect(kStructureView, Rect(at.Child("rect")));
      if (at.Has("values")) Values(*made, at.Child("values"), &scope);
      if (at.Has("values") && DynamicKind<CControl>(made) != nullptr) scope.controlValues.emplace_back(made, at.Child("values"));
      if (at.Has("patch_values")) NotePatchValues(*made, at.Child("patch_values"));
      if (at.Has("file")) {
        auto* control = dynamic_cast<CControl*>(made);
        if (control == nullptr || control->ValueType() != ControlValueType::Text)
          Fail(at.Child("file"), "module \"" + name + "\" names no file of its own");
        control->SetValueText(Text(at.Child("file")));
        NoteNamedFile(at.Child("file"), Text(at.Child("file")), "sf2");
      }
      if (at.Has("plugin") || at.Has("hosted_automation")) HostedPlugin(*made, name, at);
      for (const auto& plug : made->Plugs()) {
        const InterfaceObject& d = plug->Definition();
        if ((d.flags & PF_FILENAME) != 0 && d.dataType == DT_TEXT) NoteNamedFile(at, plug->ValueText(), d.listText);
      }
      if (at.Has("panel_rect")) PanelRect(*made, at.Child("panel_rect"));
      if (at.Has("control_values")) ControlValues(*made, at.Child("control_values"));
      if (at.Has("pages")) {
        auto* box = DynamicKind<CTabBox>(made);
        if (!box) Fail(at.Child("pages"), "module \"" + name + "\" has no pages");
        scope.pages.emplace_back(box, at.Child("pages"));
      }
    }
    const bool explicitId = at.Has("id");
    const std::string id = explicitId ? Text(at.Child("id")) : name;
    if (id.empty() || id.find('.') != std::string::npos)
      Fail(explicitId ? at.Child("id") : at, "the id \"" + id + "\" is empty or holds a '.'; give an \"id\"");
    auto [it, fresh] = scope.ids.try_emplace(id, made);
    if (!fresh) {
      if (explicitId) Fail(at.Child("id"), "the id \"" + id + "\" is used twice in this container");
      it->second = nullptr;
    }
  }

  // A "VST Plugin": the plug-in file it hosts, and controllers bound to the
  // plug-in's parameters by index ({"2": "CC 7", "5": "NRPN 300"}).
  void HostedPlugin(CUG& module, const std::string& name, const At& at) {
    auto* hosted = DynamicKind<Ctl_VST_Plugin>(&module);
    if (hosted == nullptr) Fail(at.Has("plugin") ? at.Child("plugin") : at.Child("hosted_automation"),
                                "module \"" + name + "\" hosts no plug-in");
    if (at.Has("plugin")) hosted->pluginPath = Text(at.Child("plugin"));
    if (!at.Has("hosted_automation")) return;
    const At bindings = at.Child("hosted_automation");
    if (!bindings.value.is_object()) Fail(bindings, "expected an object of parameter numbers and controllers");
    for (auto it = bindings.value.begin(); it != bindings.value.end(); ++it) {
      const At item = bindings.Child(it.key());
      int index = -1;
      const std::string& key = it.key();
      const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), index);
      if (ec != std::errc() || end != key.data() + key.size() || index < 0 || index >= 65536)
        Fail(item, "a hosted parameter is named by its number (0 to 65535)");
      const std::optional<std::int32_t> binding = HostedBindingWord(Controller(item));
      if (!binding) Fail(item, "a hosted parameter follows \"none\", \"CC n\", \"RPN n\" or \"NRPN n\"");
      auto& words = hosted->state.automationBindings;
      if (words.size() <= static_cast<std::size_t>(index)) words.resize(static_cast<std::size_t>(index) + 1, kNoHostedBinding);
      words[static_cast<std::size_t>(index)] = *binding;
    }
  }

  // Only objects that keep a panel position of their own take one.
  // A sub-panel: the name of the container beside it that it shows, where,
  // and its "Scroll Bars" ("Auto", "None" or "Enable").
  void SubPanel(Scope& scope, const At& at) {
    ExpectObject(at, {"sub_panel", "rect", "scroll_bars"});
    auto portal = std::make_unique<CPortal>();
    portal->SetEntry(FindModuleEntry("Sub Panel"));
    portal->text = Text(at.Child("sub_panel"));
    portal->rect = at.Has("rect") ? Rect(at.Child("rect")) : DocRect{0, 0, 200, 150};
    portal->mode = 0;
    if (at.Has("scroll_bars")) {
      const std::string bars = Text(at.Child("scroll_bars"));
      const char* const names[] = {"Auto", "None", "Enable"};
      const auto* found = std::find(std::begin(names), std::end(names), bars);
      if (found == std::end(names)) Fail(at.Child("scroll_bars"), "scroll bars are \"Auto\", \"None\" or \"Enable\"");
      portal->mode = static_cast<std::int32_t>(found - std::begin(names));
    }
    builder_.AddObject(scope.container, std::move(portal));
  }

  // A tab box's pages: {"id": page number} for objects of its container.
  void Pages(Scope& scope, CTabBox& box, const At& at) {
    if (!at.value.is_object()) Fail(at, "expected an object of ids and page numbers");
    for (auto it = at.value.begin(); it != at.value.end(); ++it) {
      const auto found = scope.ids.find(it.key());
      if (found == scope.ids.end() || found->second == nullptr)
        Fail(at.Child(it.key()), "no module with the id \"" + it.key() + "\" in this container");
      box.tabs.emplace_back(found->second, Int(at.Child(it.key())));
    }
  }

  void PanelRect(CUG& module, const At& at) {
    if (!DynamicKind<CControl>(&module) && !DynamicKind<control_ob_base>(&module) && !DynamicKind<CUG2>(&module))
      Fail(at, "module \"" + module.Title() + "\" has no panel position of its own (its box stands at its \"rect\")");
    module.SetRect(kPanelView, Rect(at));
  }

  // The value of a panel control in each program, from program 0 on.
  void ControlValues(CUG& module, const At& at) {
    auto* control = DynamicKind<CControl>(&module);
    if (!control) Fail(at, "module \"" + module.Title() + "\" is not a panel control with values per program");
    if (Array(at).size() > CControl::kSlots) Fail(at, "at most 128 values, one per program");
    // The list is the whole set: it replaces what a "file" may have filled in.
    control->integers.clear();
    control->texts.clear();
    control->numbers.clear();
    for (std::size_t i = 0; i < at.value.size(); ++i) {
      const At v = at.Item(i);
      switch (control->ValueType()) {
        case ControlValueType::Integer: control->integers.push_back(Int(v)); break;
        case ControlValueType::Text: control->texts.push_back(Text(v)); break;
        case ControlValueType::Number:
          if (!v.value.is_number()) Fail(v, "expected a number");
          control->numbers.push_back(v.value.get<double>());
          break;
      }
    }
    control->singleValue = at.value.size() == 1;
  }

  // With a scope, values of plugs a GUI-side module lacks until it is
  // wired wait there for the wires.
  void Values(CUG& module, const At& at, Scope* scope = nullptr) {
    if (!at.value.is_object()) Fail(at, "expected an object of plug values");
    for (const auto& [plugName, value] : at.value.items()) {
      if (scope && module.GuiSideLogic() && !FindOrGrowPlug(module, plugName)) {
        scope->wiredPlugValues.push_back({&module, at, plugName});
        continue;
      }
      PlugValue(module, at, plugName);
    }
  }

  void PlugValue(CUG& module, const At& values, const std::string& plugName) {
    const At valueAt = values.Child(plugName);
    CPlug2* plug = FindOrGrowPlug(module, plugName);
    // A container's boundary plugs and features have keys of their own.
    if (plug && DynamicKind<CContainer>(&module) && (DynamicKind<CPlugIO2>(plug) || DynamicKind<CPlugFeature>(plug)))
      plug = nullptr;
    if (!plug) Fail(valueAt, "module \"" + module.Title() + "\" has no plug \"" + plugName + "\"");
    plug->SetValueText(ValueText(valueAt));
  }

  // --- patch values -------------------------------------------------------------

  void NotePatchValues(CUG& module, const At& at) {
    if (!at.value.is_object()) Fail(at, "expected an object of patch values by plug");
    for (const auto& [plugName, value] : at.value.items()) {
      CPlug2* plug = FindOrGrowPlug(module, plugName);
      if (!plug) Fail(at.Child(plugName), "module \"" + module.Title() + "\" has no plug \"" + plugName + "\"");
      patchValues_.push_back({plug, at.Child(plugName)});
    }
  }

  // A plug's patch-memory entry: its name, values per program, flags and
  // identifier. The plug then shows the current program's value.
  void PatchValues() {
    std::map<CPatchManager*, std::vector<std::pair<StoredPatchParameter*, const At*>>> chosenIds;
    for (const auto& [plug, at] : patchValues_) {
      CPatchManager* memory = plug->Owner() != nullptr ? plug->Owner()->NearestPatchMemory() : nullptr;
      StoredPatchParameter* entry = memory != nullptr ? memory->FindParameterForPlug(*plug) : nullptr;
      if (entry == nullptr) Fail(at, "plug \"" + plug->Name() + "\" holds no patch value");
      ExpectObject(at, {"name", "identifier", "programs", "ignore_program_change", "midi_controller", "hidden"});
      if (at.Has("name")) entry->name = Text(at.Child("name"));
      if (at.Has("programs")) {
        const At programs = at.Child("programs");
        if (Array(programs).size() > StoredPatchParameter::kSlots) Fail(programs, "at most 128 values, one per program");
        for (std::size_t i = 0; i < programs.value.size(); ++i)
          entry->SetSlotText(static_cast<int>(i), ValueText(programs.Item(i)));
      }
      if (at.Has("ignore_program_change")) entry->ignoresProgramChange = Bool(at.Child("ignore_program_change"));
      if (at.Has("midi_controller")) entry->midiController = Controller(at.Child("midi_controller"));
      if (at.Has("hidden")) entry->hiddenFromHost = Bool(at.Child("hidden"));
      if (at.Has("identifier")) {
        if (Int(at.Child("identifier")) < 0) Fail(at.Child("identifier"), "an identifier is 0 or more");
        chosenIds[memory].emplace_back(entry, &at);
      }
      plug->SetValueText(entry->SlotText(entry->SlotOf(memory->CurrentPatch())));
    }
    for (auto& [memory, chosen] : chosenIds) {
      std::set<std::int32_t> taken;
      for (const auto& [entry, at] : chosen) {
        const std::int32_t id = Int(at->Child("identifier"));
        if (!taken.insert(id).second) Fail(at->Child("identifier"), "two patch values have the identifier " + std::to_string(id));
        entry->identifier = id;
      }
      // The others keep theirs unless one was chosen above; those move to
      // the smallest identifiers still free.
      std::set<const StoredPatchParameter*> fixed;
      for (const auto& [entry, at] : chosen) fixed.insert(entry);
      std::set<std::int32_t> used = taken;
      std::vector<StoredPatchParameter*> moving;
      for (auto& p : memory->parameters) {
        if (fixed.count(&p) != 0) continue;
        if (!used.insert(p.identifier).second) moving.push_back(&p);
      }
      std::int32_t next = 0;
      for (StoredPatchParameter* p : moving) {
        while (used.count(next) != 0) ++next;
        p->identifier = next;
        used.insert(next);
      }
    }
  }

  void BoundaryPlugs(CContainer& container, const At& at) {
    for (std::size_t i = 0; i < Array(at).size(); ++i) {
      const At plug = at.Item(i);
      ExpectObject(plug, {"name", "direction", "type"});
      const std::string name = plug.Has("name") ? Text(plug.Child("name")) : std::string();
      if (!plug.Has("direction")) Fail(plug, "a container plug needs a \"direction\" (\"in\" or \"out\")");
      const auto direction = DirectionByName(Text(plug.Child("direction")));
      if (!direction) Fail(plug.Child("direction"), "the direction is \"in\" or \"out\"");
      int type = DT_AUDIO;
      if (plug.Has("type")) {
        const auto byName = DataTypeByName(Text(plug.Child("type")));
        if (!byName) Fail(plug.Child("type"), "unknown plug type \"" + Text(plug.Child("type")) + "\"");
        type = *byName;
      }
      builder_.AddBoundaryPlug(container, *direction, type, name);
    }
  }

  void Features(CContainer& container, const At& at) {
    if (!at.value.is_object()) Fail(at, "expected an object of features");
    for (const auto& [name, value] : at.value.items()) {
      int index = -1;
      for (int f = 0; f < CContainer::kFeatureCount; ++f)
        if (name == CContainer::Feature(f).name) index = f;
      if (index < 0) Fail(at.Child(name), "unknown container feature \"" + name + "\"");
      container.SetFeatureValue(index, Bool(at.Child(name)));
    }
  }

  void Programs(CContainer& container, const At& at) {
    ExpectObject(at, {"current", "names"});
    CPatchManager& memory = container.EnsurePatchMemory();
    if (at.Has("names")) {
      const At names = at.Child("names");
      if (Array(names).size() > 128) Fail(names, "at most 128 programs");
      // Position is the program number; null leaves a program unnamed.
      for (std::size_t i = 0; i < names.value.size(); ++i)
        if (!names.Item(i).value.is_null()) memory.SetPatchName(static_cast<std::int32_t>(i), Text(names.Item(i)));
    }
    if (at.Has("current")) {
      const std::int32_t current = Int(at.Child("current"));
      if (current < 0 || current > 127) Fail(at.Child("current"), "the current program lies between 0 and 127");
      memory.SelectPatch(current);
    }
  }

  // --- wires ------------------------------------------------------------------

  CPlug2& WireEnd(Scope& scope, const At& at) {
    const std::string end = Text(at);
    const std::size_t dot = end.find('.');
    if (dot == std::string::npos || dot == 0) Fail(at, "a wire end is \"<module id>.<plug name>\", not \"" + end + "\"");
    const std::string id = end.substr(0, dot);
    const std::string plugName = end.substr(dot + 1);
    CUG* module = nullptr;
    if (id == "io") module = scope.container.FindIOModule();
    if (!module) {
      const auto it = scope.ids.find(id);
      if (it == scope.ids.end()) Fail(at, "no module with the id \"" + id + "\" in this container");
      if (!it->second) Fail(at, "more than one module has the id \"" + id + "\"; give each an \"id\"");
      module = it->second;
    }
    CPlug2* plug = FindOrGrowPlug(*module, plugName);
    if (!plug) Fail(at, "module \"" + id + "\" has no plug \"" + plugName + "\"");
    return *plug;
  }

  void Wire(Scope& scope, const At& at) {
    ExpectObject(at, {"from", "to"});
    if (!at.Has("from") || !at.Has("to")) Fail(at, "a wire needs \"from\" and \"to\"");
    CPlug2& from = WireEnd(scope, at.Child("from"));
    CPlug2& to = WireEnd(scope, at.Child("to"));
    try {
      builder_.Connect(from, to);
    } catch (const BuildError& e) {
      Fail(at, "can't join " + Text(at.Child("from")) + " to " + Text(at.Child("to")) + ": " + e.what());
    }
  }

  static constexpr int kMaxDepth = 64;

  const JsonWithLines& source_;
  std::filesystem::path baseDirectory_;
  CompileOptions options_;
  DocumentBuilder builder_;
  int depth_ = 0;
  std::vector<std::string> embeddedNames_;  // file names, lower-cased
  struct PendingPatchValue {
    CPlug2* plug;
    At at;
  };
  std::vector<PendingPatchValue> patchValues_;
  std::vector<std::pair<std::string, std::string>> namedFiles_;  // JSON pointer, file name
};

}  // namespace

std::unique_ptr<StoredDocument> CompilePatchText(std::string_view text, const std::filesystem::path& baseDirectory,
                                                 CompileOptions options) {
  const JsonWithLines source = ParseJsonWithLines(text);
  try {
    return Compiler(source, baseDirectory, options).Run();
  } catch (const nlohmann::json::exception& e) {
    throw PatchTextError(0, e.what());  // a shape the checks above missed; still no crash
  }
}

std::vector<std::uint8_t> CompilePatchTextToBytes(std::string_view text, const std::filesystem::path& baseDirectory,
                                                  CompileOptions options) {
  return WriteDocument(*CompilePatchText(text, baseDirectory, options));
}

}  // namespace patchtext

}  // namespace kr
