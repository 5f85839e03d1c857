// The kestrune program's compile, dump and export commands, run as a user
// runs them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "support/command.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using krtest::ReadText;

#if defined(_WIN32)
// cmd.exe runs the commands: it wants the drive, backslashes and the extension.
const fs::path kProgram = fs::absolute(fs::path(KR_BINARY_DIR) / "kestrune.exe").make_preferred();
#else
const fs::path kProgram = fs::path(KR_BINARY_DIR) / "kestrune";
#endif
const fs::path kExamples = fs::path(KR_SOURCE_DIR) / "examples";

using ProgramRun = krtest::CommandRun;

// Runs the program with its output (and errors) captured.
ProgramRun Kestrune(const std::string& args) { return krtest::RunCommand(kProgram.string() + " " + args); }

std::string Quoted(const fs::path& p) { return "\"" + p.string() + "\""; }

TEST(KestruneCommands, CompileDumpCompileIsStable) {
  krtest::TempDir dir;
  const fs::path dat = dir.path() / "patch.dat";
  const fs::path json = dir.path() / "again.json";
  const fs::path dat2 = dir.path() / "again.dat";
  ASSERT_EQ(Kestrune("compile " + Quoted(kExamples / "volts_and_values.json") + " -o " + Quoted(dat)).status, 0);
  const ProgramRun dump = Kestrune("dump " + Quoted(dat) + " -o " + Quoted(json));
  ASSERT_EQ(dump.status, 0) << dump.output;
  ASSERT_EQ(Kestrune("compile " + Quoted(json)).status, 0);  // default output: again.dat
  EXPECT_EQ(ReadText(dat), ReadText(dat2));
}

TEST(KestruneCommands, CompileFaultsNameFileAndLine) {
  krtest::TempDir dir;
  const fs::path bad = dir.path() / "bad.json";
  std::ofstream(bad) << "{\n  \"root\": {\n    \"modules\": [ { \"module\": \"Theremin\" } ]\n  }\n}\n";
  const ProgramRun run = Kestrune("compile " + Quoted(bad));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "kestrune compile: " + bad.string() + ":3: unknown module \"Theremin\"\n");
  EXPECT_FALSE(fs::exists(dir.path() / "bad.dat"));
  EXPECT_EQ(Kestrune("compile").status, 2);
  EXPECT_EQ(Kestrune("dump " + Quoted(dir.path() / "missing.dat")).status, 1);
}

TEST(KestruneCommands, ExportedPluginIsSeenByInfoAndDumpsItsPatch) {
  krtest::TempDir dir;
  const fs::path plugin = dir.path() / "MySynth.so";
  const ProgramRun exported = Kestrune("export " + Quoted(kExamples / "midi_thru.json") + " -o " + Quoted(plugin));
  ASSERT_EQ(exported.status, 0) << exported.output;
  EXPECT_FALSE(fs::exists(dir.path() / "MySynth.dat"));

  const ProgramRun info = Kestrune("info " + Quoted(plugin));
  ASSERT_EQ(info.status, 0) << info.output;
  EXPECT_NE(info.output.find("unique id:     'KrMT'"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("isSynth"), std::string::npos) << info.output;

  const ProgramRun dump = Kestrune("dump " + Quoted(plugin));
  ASSERT_EQ(dump.status, 0) << dump.output;
  EXPECT_NE(dump.output.find("\"MIDI Thru\""), std::string::npos) << dump.output;

  const fs::path beside = dir.path() / "Beside.so";
  ASSERT_EQ(Kestrune("export " + Quoted(kExamples / "stereo_through.json") + " -o " + Quoted(beside) + " --dat").status,
            0);
  EXPECT_TRUE(fs::exists(dir.path() / "Beside.dat"));
  const ProgramRun besideInfo = Kestrune("info " + Quoted(beside));
  EXPECT_NE(besideInfo.output.find("inputs:        2"), std::string::npos) << besideInfo.output;
}

TEST(KestruneCommands, InfoOnAPatchListsItsProgramsAndHostParameters) {
  const ProgramRun info = Kestrune("info " + Quoted(kExamples / "programs.json"));
  ASSERT_EQ(info.status, 0) << info.output;
  for (const char* line : {"programs:      4 (current 0)\n  0: \"Soft\"\n  1: \"Bright\"\n  2: \"Patch   3\"\n",
                           "parameters:    3\n  0: \"Cutoff\" = \"4.00\" \"\" (0.4000) automatable\n"
                           "  1: \"Level Curve\" = \"Exponential\" \"\" (0.0000) automatable\n"
                           "  2: \"Resonance (Q)\" = \"3.00\" \"\" (0.3000) automatable\n"})
    EXPECT_NE(info.output.find(line), std::string::npos) << info.output;
}

// The build's ready instrument goes where hosts look; the template, which
// carries no patch, is refused before anything is copied.
TEST(KestruneCommands, InstallCopiesPluginsThatCarryAPatch) {
  const fs::path plugin = fs::path(KR_PLUGIN_PATH);
  const fs::path subtractive = plugin.parent_path() / ("Kestrune Subtractive" + plugin.extension().string());
#if defined(_WIN32)
  if (!fs::exists(subtractive)) GTEST_SKIP() << "SKIPPED: the cross build found no native kestrune to export with";
#endif
  krtest::TempDir dir;
  const fs::path folder = dir.path() / "vst";
  const ProgramRun refused =
      Kestrune("install " + Quoted(subtractive) + " " + Quoted(plugin) + " --to " + Quoted(folder));
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.output.find(plugin.string() + " carries no patch"), std::string::npos) << refused.output;
  EXPECT_FALSE(fs::exists(folder));

  const ProgramRun installed = Kestrune("install " + Quoted(subtractive) + " --to " + Quoted(folder));
  ASSERT_EQ(installed.status, 0) << installed.output;
  const fs::path copy = folder / subtractive.filename();
  EXPECT_EQ(ReadText(copy), ReadText(subtractive));
  const ProgramRun info = Kestrune("info " + Quoted(copy));
  EXPECT_NE(info.output.find("unique id:     'KrSb'"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("isSynth"), std::string::npos) << info.output;
#if !defined(_WIN32)
  const ProgramRun fromPath = krtest::RunCommand("VST_PATH=" + Quoted(dir.path() / "first") + ":/nowhere " +
                                                 kProgram.string() + " install " + Quoted(subtractive));
  ASSERT_EQ(fromPath.status, 0) << fromPath.output;
  EXPECT_TRUE(fs::exists(dir.path() / "first" / subtractive.filename()));
  EXPECT_EQ(krtest::RunCommand("VST_PATH= HOME= " + kProgram.string() + " install " + Quoted(subtractive)).status, 2);
#endif
}

TEST(KestruneCommands, EveryCommandHasHelpAndNamesABadOption) {
  for (const char* command : {"compile", "dump", "export", "install", "info", "modules", "panel", "render", "torture"}) {
    const ProgramRun help = Kestrune(std::string(command) + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find(std::string("Usage: kestrune ") + command), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("Exit status:"), std::string::npos) << command;
    const ProgramRun bad = Kestrune(std::string(command) + " --no-such-option");
    EXPECT_EQ(bad.status, 2) << bad.output;
    EXPECT_NE(bad.output.find(std::string("kestrune ") + command + ": "), std::string::npos) << bad.output;
    EXPECT_NE(bad.output.find("--no-such-option"), std::string::npos) << bad.output;
  }
}

}  // namespace
