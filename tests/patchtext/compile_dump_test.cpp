// The patch text compiles to the document it describes, dumps back to text
// that compiles to the same bytes, and the shipped examples stay valid.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "document/container.h"
#include "document/document_file.h"
#include "document/iterators.h"
#include "document/line2.h"
#include "document/patch_manager.h"
#include "document/plug2.h"
#include "patchtext/patch_compiler.h"
#include "patchtext/patch_dumper.h"
#include "patchtext/patch_names.h"
#include "patchtext/patch_text_error.h"
#include "registry/module_info.h"
#include "support/temp_dir.h"

using namespace kr;

namespace {

namespace fs = std::filesystem;
using krtest::ReadText;
using patchtext::CompilePatchText;
using patchtext::CompilePatchTextToBytes;
using patchtext::DumpPatchText;

std::unique_ptr<StoredDocument> Load(const std::vector<std::uint8_t>& bytes) {
  auto loaded = ReadDocument(bytes, LoadMode::Full);
  EXPECT_NE(loaded.document, nullptr) << loaded.error;
  return std::move(loaded.document);
}

// Compile, dump, compile again: the same archive bytes and the same text.
void ExpectStable(const std::string& text, const fs::path& base = ".") {
  const auto first = CompilePatchTextToBytes(text, base);
  const std::string dumped = DumpPatchText(*Load(first));
  const auto second = CompilePatchTextToBytes(dumped, base);
  EXPECT_EQ(first, second) << dumped;
  EXPECT_EQ(DumpPatchText(*Load(second)), dumped);
}

TEST(PatchText, ExamplesCompileAndAreStable) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(KR_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() != ".json") continue;
    SCOPED_TRACE(entry.path().string());
    ExpectStable(ReadText(entry.path()), entry.path().parent_path());
    ++count;
  }
  EXPECT_GE(count, 3);
}

// GUI-side modules grow plugs as they are wired (spare outputs, one input
// per item): their dumps name those plugs, and compile to the same bytes.
TEST(PatchText, GuiSideModulesWithGrownPlugsRoundTrip) {
  const std::string text = ReadText(fs::path(KR_SOURCE_DIR) / "tests" / "fuzz" / "corpus" / "patchtext" / "gui_side.json");
  ExpectStable(text);
  const std::string dumped = DumpPatchText(*Load(CompilePatchTextToBytes(text, ".")));
  EXPECT_NE(dumped.find("\"Spare#2\""), std::string::npos);
  EXPECT_NE(dumped.find("\"<auto>\""), std::string::npos) << "an input of \"Bools to List\"";
}

TEST(PatchText, CompiledDocumentHoldsWhatTheTextSays) {
  const auto doc = CompilePatchText(ReadText(fs::path(KR_SOURCE_DIR) / "examples" / "volts_and_values.json"), ".");
  EXPECT_EQ(doc->settings.uniqueId, "KrVV");
  EXPECT_EQ(doc->settings.programCount, 4);
  EXPECT_EQ(doc->settings.panelWidth, 400);
  const CContainer* top = nullptr;
  ForEachModule(*doc->root, [&](const CUG& m) { top = top ? top : DynamicKind<CContainer>(&m); });
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Title(), "Volts and Values");
  ASSERT_NE(top->PatchMemory(), nullptr);
  EXPECT_EQ(top->PatchMemory()->CurrentPatch(), 1);
  ASSERT_EQ(top->PatchMemory()->patchNames.size(), 4u);
  EXPECT_EQ(top->PatchMemory()->patchNames[2].second, "Dark");

  const CUG* toVolts = nullptr;
  int wires = 0;
  for (const auto& child : top->Children()) {
    if (auto* m = DynamicKind<CUG>(child.get()); m && m->Entry() && m->Entry()->name == "FloatToVolts") toVolts = m;
    if (DynamicKind<CLine2>(child.get())) ++wires;
  }
  ASSERT_NE(toVolts, nullptr);
  EXPECT_EQ(toVolts->FindPlug("Smoothing")->ValueText(), "1");
  EXPECT_EQ(toVolts->FindPlug("Float In")->ValueText(), "2.5");
  EXPECT_EQ(toVolts->FindPlug("Volts Out")->Wires().size(), 1u);
  EXPECT_EQ(wires, 4);  // three for the signal, one for the panel's meter
  // Children arrive at the front: wires last, modules newest first.
  EXPECT_NE(DynamicKind<CLine2>(top->Children().back().get()), nullptr);
}

TEST(PatchText, ContainerValuesSetItsParameterPlugsAndRoundTrip) {
  const std::string text = R"({
    "root": { "values": { "Polyphony": "2" }, "modules": [
      { "module": "Container", "title": "Synth", "values": { "Polyphony": "4", "Show Controls": "1" },
        "plugs": [ { "name": "Out", "direction": "out" } ] },
      { "module": "Container", "title": "Plain" } ] }
  })";
  const auto doc = CompilePatchText(text, ".");
  EXPECT_EQ(doc->root->FindPlug("Polyphony")->ValueText(), "2");
  std::map<std::string, const CContainer*> byTitle;
  ForEachModule(*doc->root, [&](const CUG& m) {
    if (auto* c = DynamicKind<CContainer>(&m)) byTitle[c->Title()] = c;
  });
  ASSERT_EQ(byTitle.size(), 2u);
  EXPECT_EQ(byTitle["Synth"]->FindPlug("Polyphony")->ValueText(), "4");
  EXPECT_EQ(byTitle["Synth"]->FindPlug("Show Controls")->ValueText(), "1");
  EXPECT_EQ(byTitle["Plain"]->FindPlug("Polyphony")->ValueText(), "6");
  ExpectStable(text);
  // Defaults are not dumped; set values are, under the container's "values".
  const std::string dumped = DumpPatchText(*doc);
  EXPECT_NE(dumped.find("\"Polyphony\": \"4\""), std::string::npos) << dumped;
  EXPECT_EQ(dumped.find("\"Polyphony\": \"6\""), std::string::npos) << dumped;
}

TEST(PatchText, EmbeddedFilesByPathAndBase64RoundTrip) {
  krtest::TempDir dir;
  {
    std::ofstream out(dir.path() / "loop.wav", std::ios::binary);
    out << "RIFF\x01\x02";
  }
  const std::string text = R"({
    "embedded_files": [ { "name": "Loop.WAV", "path": "loop.wav" },
                        { "name": "Lib.krm", "base64": "AAEC/w==" } ],
    "root": { "modules": [ { "module": "Container", "title": "Synth" } ] }
  })";
  const auto doc = CompilePatchText(text, dir.path());
  ASSERT_EQ(doc->embeddedFiles.size(), 2u);
  EXPECT_EQ(doc->embeddedFiles[0]->Name(), "Loop.WAV");
  EXPECT_EQ(doc->embeddedFiles[0]->Content(), (std::vector<std::uint8_t>{'R', 'I', 'F', 'F', 1, 2}));
  EXPECT_EQ(doc->embeddedFiles[1]->Content(), (std::vector<std::uint8_t>{0, 1, 2, 255}));
  ExpectStable(text, dir.path());
}

TEST(PatchText, SettingsDuplicateNamesAndDefaultsSurviveTheRoundTrip) {
  ExpectStable(R"({
    "settings": { "id": "AbCd", "instrument": true, "plugin_flags": 8, "mono_capable": false,
                  "programs": 128, "vendor": "V", "product": "P", "about": "A", "text": "T" },
    "root": { "title": "Main", "modules": [
      { "module": "Container", "title": "Top", "disabled": true, "skin": "dark", "rect": [1, 2, 3, 4],
        "modules": [ { "module": "FloatToVolts" }, { "module": "FloatToVolts", "title": "Second" },
                     { "module": "VoltsToFloat", "values": { "Update Rate": 40, "Response": "0" } } ],
        "plugs": [ { "direction": "in", "type": "float" }, { "name": "M", "direction": "out", "type": "midi" } ],
        "features": { "Ignore Program Change": true, "Controls on Module": false } } ] }
  })");
  const auto doc = CompilePatchText(R"({"settings": {"instrument": true, "plugin_flags": 8}, "root": {}})", ".");
  EXPECT_EQ(doc->settings.pluginFlags, 9);
}

TEST(PatchText, Base64HandlesEveryTailLength) {
  for (std::size_t n = 0; n < 8; ++n) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(0xF0 + i * 7));
    EXPECT_EQ(patchtext::Base64Decode(patchtext::Base64Encode(bytes)), bytes) << n;
  }
  EXPECT_EQ(patchtext::Base64Encode(std::vector<std::uint8_t>{'M', 'a'}), "TWE=");
  EXPECT_FALSE(patchtext::Base64Decode("TW=E").has_value());
  EXPECT_FALSE(patchtext::Base64Decode("T").has_value());
  EXPECT_FALSE(patchtext::Base64Decode("T*==").has_value());
}

}  // namespace

TEST(PatchText, FilesModulesNameAreEmbeddedWhenAsked) {
  krtest::TempDir dir;
  for (const char* name : {"loop.wav", "Font.sf2", "song.mid"}) std::ofstream(dir.path() / name, std::ios::binary) << name;
  const std::string body = R"(
    "embedded_files": [ { "name": "SONG.MID", "base64": "AAE=" } ],
    "root": { "modules": [ { "module": "Container", "title": "Synth", "modules": [
      { "module": "Wave Player", "values": { "File Name": "loop" } },
      { "module": "MIDI Player", "values": { "File Name": "song.mid" } },
      { "module": "Soundfont Player", "file": "Font.sf2" } ] } ] } })";
  const auto plain = CompilePatchText("{" + body, dir.path());
  EXPECT_EQ(plain->embeddedFiles.size(), 1u) << "nothing is embedded unless asked";
  const auto doc = CompilePatchText("{ \"embed_named_files\": true," + body, dir.path());
  std::vector<std::string> names;
  for (const auto& f : doc->embeddedFiles) names.push_back(f->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"SONG.MID", "loop.wav", "Font.sf2"})) << "song.mid was embedded already";
  EXPECT_EQ(doc->embeddedFiles[1]->Content(), (std::vector<std::uint8_t>{'l', 'o', 'o', 'p', '.', 'w', 'a', 'v'}));
  const std::string dumped = DumpPatchText(*doc);
  EXPECT_NE(dumped.find("\"file\": \"Font.sf2\""), std::string::npos) << dumped;

  try {
    patchtext::CompileOptions embed;
    embed.embedNamedFiles = true;
    CompilePatchText(R"({ "root": { "modules": [ { "module": "Container", "modules": [
      { "module": "Soundfont Player",
        "file": "missing.sf2" } ] } ] } })", dir.path(), embed);
    ADD_FAILURE() << "a named file that is not there is a fault";
  } catch (const patchtext::PatchTextError& e) {
    EXPECT_EQ(e.Line(), 3);
    EXPECT_NE(e.Problem().find("missing.sf2 to embed it"), std::string::npos) << e.Problem();
  }
}

// Skins read from a folder, the built-in skin, panel positions and control
// values come back from the dump as they went in.
TEST(PatchText, PanelsSkinsAndControlValuesRoundTrip) {
  const fs::path data = fs::path(KR_SOURCE_DIR) / "tests" / "data" / "panels";
  const std::string text = ReadText(data / "golden_panel.json");
  ExpectStable(text, data);
  const auto doc = CompilePatchText(text, data);
  ASSERT_EQ(doc->skins.size(), 1u);
  EXPECT_EQ(doc->skins[0]->name, "test");
  // background, joy_handle, knob_med, led (from BMP and mask), tint_disc
  EXPECT_EQ(doc->skins[0]->images.size(), 5u);
  EXPECT_EQ(doc->skins[0]->styles.size(), 3u);
  ExpectStable(R"({"skins": ["default"], "root": {}})");
  const auto builtIn = CompilePatchText(R"({"skins": ["default"], "root": {}})", ".");
  EXPECT_GE(builtIn->skins.at(0)->images.size(), 14u);
}

// Patch values: per-program values, names, flags and identifiers land in the
// container's patch memory; unnamed programs stay unnamed between named ones.
TEST(PatchText, PatchValuesAndProgramNamesLandInThePatchMemory) {
  const std::string text = R"({"root": {"modules": [{"module": "Container", "modules": [
      {"module": "Patch Select"},
      {"module": "PatchMemFloatIn", "id": "a", "title": "A", "values": {"Value": "2"},
       "patch_values": {"Value": {"programs": ["1", "2.5"], "identifier": 1, "hidden": true}}},
      {"module": "PatchMemListIn2", "id": "b", "title": "B",
       "patch_values": {"Value": {"name": "Shape", "ignore_program_change": true, "midi_controller": "NRPN 300"}}}],
    "programs": {"current": 1, "names": [null, "Two", null, "Four"]}}]}})";
  ExpectStable(text);
  const auto doc = CompilePatchText(text, ".");
  const auto* top = DynamicKind<CContainer>(doc->root->Children().front().get());
  ASSERT_NE(top, nullptr);
  const CPatchManager* memory = top->PatchMemory();
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(memory->CurrentPatch(), 1);
  EXPECT_EQ(memory->PatchName(0), "Patch   1");
  EXPECT_EQ(memory->PatchName(1), "Two");
  EXPECT_EQ(memory->PatchName(3), "Four");
  ASSERT_EQ(memory->parameters.size(), 2u);
  auto named = [&](std::string_view name) -> const StoredPatchParameter& {
    for (const auto& p : memory->parameters)
      if (p.name == name) return p;
    ADD_FAILURE() << "no patch value named " << name;
    return memory->parameters.front();
  };
  const StoredPatchParameter& a = named("A");
  EXPECT_EQ(a.identifier, 1);
  EXPECT_EQ(a.name, "A");
  EXPECT_TRUE(a.hiddenFromHost);
  EXPECT_EQ(a.SlotText(0), "1");
  EXPECT_EQ(a.SlotText(1), "2.5");
  EXPECT_EQ(a.SlotText(127), "2");
  EXPECT_EQ(a.plug->ValueText(), "2.5") << "the plug shows the current program";
  const StoredPatchParameter& b = named("Shape");
  EXPECT_EQ(b.identifier, 0) << "moved out of the chosen identifier's way";
  EXPECT_EQ(b.name, "Shape");
  EXPECT_TRUE(b.ignoresProgramChange);
  EXPECT_EQ(b.midiController, 0x4000000 + 300);
}

