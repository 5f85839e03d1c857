// Faults in a patch text name their line and the problem.
#include <gtest/gtest.h>

#include <filesystem>

#include "document/document_file.h"
#include "patchtext/patch_compiler.h"
#include "patchtext/patch_text_error.h"

using namespace kr;

namespace {

using patchtext::PatchTextError;

// Compiles text that must fail; returns "line N: problem".
std::string FaultOf(const std::string& text) {
  try {
    patchtext::CompilePatchText(text, ".");
  } catch (const PatchTextError& e) {
    return e.what();
  }
  return "compiled";
}

std::string InTop(const std::string& modules, const std::string& wires = "[]") {
  return "{\n"
         "  \"root\": {\n"
         "    \"modules\": [ {\n"
         "      \"module\": \"Container\",\n"
         "      \"modules\": [\n" +
         modules + "\n      ],\n      \"wires\": " + wires + "\n    } ]\n  }\n}\n";
}

TEST(PatchTextErrors, SyntaxFaultsNameTheirLine) {
  EXPECT_EQ(FaultOf("{\n  \"root\": {\n    \"title\": \"x\",\n  }\n}"),
            "line 4: syntax error while parsing object key - unexpected '}'; expected string literal");
  EXPECT_EQ(FaultOf("{\n\"root\": [1,\n2,\n"), "line 3: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal");
}

TEST(PatchTextErrors, UnknownModuleAndPlug) {
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\" },\n        { \"module\": \"Theremin\" }")),
            "line 7: unknown module \"Theremin\"");
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\",\n"
                          "          \"values\": { \"Smoothing\": \"1\",\n"
                          "                      \"Colour\": \"red\" } }")),
            "line 8: module \"FloatToVolts\" has no plug \"Colour\"");
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\", \"id\": \"a\" }",
                          "[\n        { \"from\": \"a.Volts Out\",\n          \"to\": \"a.Nothing\" } ]")),
            "line 10: module \"a\" has no plug \"Nothing\"");
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\", \"id\": \"a\" }",
                          "[\n        { \"from\": \"b.Volts Out\", \"to\": \"a.Float In\" } ]")),
            "line 9: no module with the id \"b\" in this container");
}

TEST(PatchTextErrors, ContainerValuesNameOnlyItsListedPlugs) {
  const auto text = [](const std::string& key) {
    return "{\n  \"root\": { \"modules\": [ {\n    \"module\": \"Container\", \"title\": \"Synth\",\n"
           "    \"values\": { \"" + key + "\": \"4\" } } ] }\n}\n";
  };
  EXPECT_EQ(FaultOf(text("Polyphony")), "compiled");
  EXPECT_EQ(FaultOf(text("Voices")), "line 4: module \"Synth\" has no plug \"Voices\"");
  // Boundary plugs and features are described by "plugs" and "features".
  EXPECT_EQ(FaultOf(text("Spare")), "line 4: module \"Synth\" has no plug \"Spare\"");
}

TEST(PatchTextErrors, IncompatibleWiresCarryTheCanConnectMessage) {
  const std::string two = "        { \"module\": \"FloatToVolts\", \"id\": \"f\" },\n"
                          "        { \"module\": \"VoltsToFloat\", \"id\": \"v\" }";
  EXPECT_EQ(FaultOf(InTop(two, "[\n        { \"from\": \"f.Volts Out\", \"to\": \"v.Update Rate\" } ]")),
            "line 10: can't join f.Volts Out to v.Update Rate: Can't connect different plug types (eg you can't "
            "connect a voltage p_to a filename)");
  EXPECT_EQ(FaultOf(InTop(two, "[\n        { \"from\": \"f.Volts Out\", \"to\": \"v.Float Out\" } ]")),
            "line 10: can't join f.Volts Out to v.Float Out: Can't connect. An output must go to an input (plugs on "
            "the left = Inputs, right = Outputs");
  EXPECT_EQ(FaultOf(InTop(two + ",\n        { \"module\": \"VoltsToFloat\", \"id\": \"w\" }",
                          "[ { \"from\": \"v.Float Out\", \"to\": \"f.Float In\" },\n"
                          "        { \"from\": \"w.Float Out\", \"to\": \"f.Float In\" } ]")),
            "line 11: can't join w.Float Out to f.Float In: This type of plug accepts only one input");
  // Audio inputs take any number of wires.
  EXPECT_EQ(FaultOf(InTop(two + ",\n        { \"module\": \"FloatToVolts\", \"id\": \"g\" }",
                          "[ { \"from\": \"f.Volts Out\", \"to\": \"v.Volts In\" },\n"
                          "        { \"from\": \"g.Volts Out\", \"to\": \"v.Volts In\" } ]")),
            "compiled");
}

TEST(PatchTextErrors, ShapeFaults) {
  EXPECT_EQ(FaultOf("{\n  \"settings\": { \"programs\": 0 },\n  \"root\": {}\n}"),
            "line 2: programs must lie between 1 and 128");
  EXPECT_EQ(FaultOf("{\n  \"root\": {},\n  \"colour\": 1\n}"), "line 3: unknown key \"colour\"");
  EXPECT_EQ(FaultOf("{ \"settings\": {} }"), "line 1: the patch has no \"root\" container");
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\", \"id\": \"x\" },\n"
                          "        { \"module\": \"VoltsToFloat\", \"id\": \"x\" }")),
            "line 7: the id \"x\" is used twice in this container");
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\" },\n        { \"module\": \"FloatToVolts\" }",
                          "[ { \"from\": \"FloatToVolts.Volts Out\", \"to\": \"io.x\" } ]")),
            "line 9: more than one module has the id \"FloatToVolts\"; give each an \"id\"");
  EXPECT_EQ(FaultOf("{ \"root\": { \"plugs\": [ { \"direction\": \"sideways\" } ] } }"),
            "line 1: the direction is \"in\" or \"out\"");
  EXPECT_EQ(FaultOf("{ \"root\": {},\n \"embedded_files\": [ { \"name\": \"a.wav\", \"path\": \"no/such.wav\" } ] }"),
            "line 2: can't read embedded file " + std::filesystem::path("./no/such.wav").make_preferred().string());
  EXPECT_EQ(FaultOf("{ \"root\": { \"modules\": [ { \"unsupported\": \"CControl\" } ] } }"),
            "line 1: the patch text cannot describe a \"CControl\" object");
}

TEST(PatchTextErrors, DeepNestingIsRefusedNotRecursedInto) {
  std::string text = "{ \"root\": { \"modules\": [ ";
  for (int i = 0; i < 100; ++i) text += "{ \"module\": \"Container\", \"modules\": [ ";
  for (int i = 0; i < 100; ++i) text += "] } ";
  text += "] } }";
  EXPECT_EQ(FaultOf(text).find("containers nested more than 64 deep"), 8u) << FaultOf(text);
}

TEST(PatchTextErrors, PatchValuesNameTheirFaults) {
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"FloatToVolts\",\n"
                          "          \"patch_values\": { \"Float In\": {} } }")),
            "line 7: plug \"Float In\" holds no patch value");
  EXPECT_EQ(FaultOf(InTop("        { \"module\": \"Patch Select\" },\n"
                          "        { \"module\": \"PatchMemFloatIn\", \"patch_values\": { \"Value\": { \"identifier\": 3 } } },\n"
                          "        { \"module\": \"PatchMemFloatIn\", \"patch_values\": { \"Value\": { \"identifier\": 3 } } }")),
            "line 8: two patch values have the identifier 3");
}

}  // namespace

TEST(PatchTextErrors, PanelEntriesNameTheirFaults) {
  EXPECT_EQ(FaultOf(InTop(R"({"module": "VCA", "control_values": [1, 2]})")),
            "line 6: module \"VCA\" is not a panel control with values per program");
  EXPECT_EQ(FaultOf(InTop(R"({"module": "VCA", "panel_rect": [0, 0, 9, 9]})")),
            "line 6: module \"VCA\" has no panel position of its own (its box stands at its \"rect\")");
  EXPECT_EQ(FaultOf(InTop(R"({"module": "Slider", "control_values": ["loud"]})")), "line 6: expected a number");
  EXPECT_EQ(FaultOf("{\"skins\": [\"mine\"], \"root\": {}}"),
            "line 1: only the built-in skin \"default\" is named alone; give {\"name\", \"path\"} for \"mine\"");
  EXPECT_EQ(FaultOf("{\"skins\": [\"default\", \"Default\"], \"root\": {}}"), "line 1: two skins are called \"default\"");
}
