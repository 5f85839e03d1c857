// A hosted plug-in's state kept where Kestrune keeps its own: in the stored
// document, in Kestrune's program and bank chunks, in bank and program files
// (and a file of another plug-in, or a damaged one, changing nothing), and
// the plug-in itself stored in the document under a ".dll" name.
#include <fstream>

#include <gtest/gtest.h>

#include "base/whole_file.h"
#include "document/document_file.h"
#include "external/parameter_vst.h"
#include "external/vst_bank_files.h"
#include "formats/fxbank/fx_bank.h"
#include "hosted_support.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace krtest;

std::string Plugin(const std::string& name) { return R"("plugin": ")" + name + KR_TEST_VST_SUFFIX + "\""; }

class HostedState : public ::testing::Test {
 protected:
  VstPathOverride path{KR_TEST_VST_DIR};
};

TEST_F(HostedState, ProgramsValuesNamesAndBindingsSurviveTheStoredDocument) {
  std::vector<std::uint8_t> stored;
  {
    HostedRig rig(HostingPatch(Plugin("TestVst")));
    ASSERT_TRUE(rig.ok());
    kr::VstPluginModule& m = *rig.Module();
    m.Wrapper().SetProgram(1);
    m.Exposed(0)->SetNormalisedValue(0.8f);
    m.Wrapper().SetProgramName("Kept");
    m.Exposed(1)->SetMidiController(99);
    m.Exposed(1)->SetMidiNrpn(300);
    stored = WriteDocument(*rig.Root().document);
  }
  HostedRig again(stored);
  ASSERT_TRUE(again.ok());
  kr::VstPluginModule& m = *again.Module();
  EXPECT_EQ(m.Wrapper().GetProgram(), 1);
  EXPECT_FLOAT_EQ(m.Exposed(0)->NormalisedValue(), 0.8f);
  EXPECT_EQ(m.Wrapper().programNames[1], "Kept");
  EXPECT_EQ(m.Exposed(1)->MidiController(), 99);
  EXPECT_EQ(m.Exposed(1)->MidiNrpn(), 300);
  m.Wrapper().SetProgram(0);
  EXPECT_FLOAT_EQ(m.Exposed(0)->NormalisedValue(), 0.5f);
}

TEST_F(HostedState, KestrunesProgramAndBankChunksCarryThePluginsState) {
  for (const char* name : {"TestVst", "TestVstChunks"}) {
    HostedRig rig(HostingPatch(Plugin(name)));
    ASSERT_TRUE(rig.ok());
    kr::parameter_vst* gain = rig.Module()->Exposed(0);
    TopContainer* top = rig.App().FindTopContainer();
    gain->SetNormalisedValue(0.125f);
    auto span = top->GetChunk(true);
    const std::vector<std::uint8_t> program(span.begin(), span.end());
    rig.Module()->Wrapper().SetProgram(2);
    gain->SetNormalisedValue(0.375f);
    span = top->GetChunk(false);
    const std::vector<std::uint8_t> bank(span.begin(), span.end());
    gain->SetNormalisedValue(0.0f);
    top->SetChunk(program, true);  // into the current program, 2
    EXPECT_FLOAT_EQ(gain->NormalisedValue(), 0.125f) << name;
    top->SetChunk(bank, false);
    EXPECT_FLOAT_EQ(gain->NormalisedValue(), 0.375f) << name;
    rig.Module()->Wrapper().SetProgram(0);
    EXPECT_FLOAT_EQ(gain->NormalisedValue(), 0.125f) << name;
  }
}

TEST_F(HostedState, ABankFileOfAnotherPluginOrADamagedOneChangesNothing) {
  HostedRig rig(HostingPatch(Plugin("TestVst")));
  ASSERT_TRUE(rig.ok());
  kr::VstPluginModule& m = *rig.Module();
  const std::string file = (rig.Folder() / "bank.fxb").string();
  ASSERT_TRUE(m.SaveProgramsFile(file, false));
  std::vector<std::uint8_t> bytes = kr::ReadWholeFile(file).value_or(std::vector<std::uint8_t>{});
  ASSERT_FALSE(bytes.empty());
  m.Exposed(0)->SetNormalisedValue(0.9f);
  krtest::MessageCapture messages;
  std::vector<std::uint8_t> other = bytes;
  other[16] ^= 1;  // fxID
  std::vector<std::uint8_t> shortened(bytes.begin(), bytes.end() - 3);
  std::vector<std::uint8_t> huge = bytes;
  huge[156 + 24] = 0x7F;  // the first program's parameter count
  for (const auto& damaged : {other, shortened, huge}) {
    std::string message;
    EXPECT_FALSE(kr::LoadHostedPrograms(m.Wrapper(), damaged, false, message));
    EXPECT_EQ(message, kr::kNotCompatibleText);
  }
  EXPECT_FLOAT_EQ(m.Exposed(0)->NormalisedValue(), 0.9f);
  EXPECT_FALSE(m.LoadProgramsFile((rig.Folder() / "missing.fxb").string(), false));
  EXPECT_EQ(messages.texts, (std::vector<std::string>{kr::kCouldNotOpenText}));
}

TEST_F(HostedState, AChunkFileOfAnotherPluginIsNamedInTheMessage) {
  HostedRig rig(HostingPatch(Plugin("TestVstChunks")));
  ASSERT_TRUE(rig.ok());
  kr::VST_Wrapper& w = rig.Module()->Wrapper();
  const std::vector<std::uint8_t> chunk(3 * 196, 0);
  std::string message;
  const auto foreign = kr::fxbank::WriteChunkBank({kr::fxbank::FourCharacters('A', 'b', 'c', 'd'), 1}, 3, chunk);
  EXPECT_FALSE(kr::LoadHostedPrograms(w, foreign, false, message));
  EXPECT_EQ(message, "This file not compatible - Abcd");
  // Four spaces, and Kestrune's own "KRdt", fit any plug-in.
  const float before = w.GetParameter(0);
  std::optional<std::vector<std::uint8_t>> own = kr::SaveHostedPrograms(w, false, message);
  ASSERT_TRUE(own.has_value());
  (*own)[16] = (*own)[17] = (*own)[18] = (*own)[19] = ' ';
  w.SetParameter(0, 0.7f);
  EXPECT_TRUE(kr::LoadHostedPrograms(w, *own, false, message));
  EXPECT_FLOAT_EQ(w.GetParameter(0), before);
}

TEST_F(HostedState, APluginStoredInTheDocumentAsADllIsFoundThereOnEveryPlatform) {
  VstPathOverride nowhere{""};
  const std::string patch = R"({"settings": {"id": "KrEm"}, "embedded_files": [{"name": "Embedded.dll", "path": ")" +
                            fs::absolute(TestVst("TestVst")).generic_string() + R"("}],
    "root": {"modules": [{"module": "Container", "id": "synth", "title": "Synth",
      "modules": [{"module": "VST Plugin", "id": "vst", "plugin": "Embedded.dll"}]}]}})";
  HostedRig rig(patch);
  ASSERT_TRUE(rig.ok());
  ASSERT_TRUE(rig.Module()->Wrapper().Loaded());
  EXPECT_EQ(fs::path(rig.Module()->Wrapper().Path()).filename(), "Embedded.dll");
}

}  // namespace
