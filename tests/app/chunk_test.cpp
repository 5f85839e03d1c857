// Banks and programs saved and restored as chunks through the exported
// plug-in's `main`: a bank moves between instances whole, a program chunk
// lands in the current program, and a damaged chunk changes nothing.
#include <cstring>

#include <gtest/gtest.h>

#include "programs_support.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace vst;
using krtest::LevelPatch;
using krtest::Programs;

void Put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<float> Render(HostHarness& h, int blocks) {
  std::vector<float> out;
  for (int i = 0; i < blocks; ++i) {
    h.RunBlock();
    out.insert(out.end(), h.Output(0).begin(), h.Output(0).end());
  }
  return out;
}

class Chunks : public Programs {
 protected:
  // Edits in three programs: values and names.
  void Edit(HostHarness& h) {
    char bright[] = "Bright";
    char dark[] = "Dark and long name, longer than a host buffer";
    h.Dispatch(effSetProgram, 0, 1);
    h.Dispatch(effSetProgramName, 0, 0, bright);
    h.SetParameter(0, 0.3f);
    h.Dispatch(effSetProgram, 0, 3);
    h.Dispatch(effSetProgramName, 0, 0, dark);
    h.SetParameter(0, 0.9f);
    h.SetParameter(1, 0.2f);
    h.Dispatch(effSetProgram, 0, 5);
    h.SetParameter(1, 0.7f);
  }
};

TEST_F(Chunks, ABankMovesToAFreshInstanceWhole) {
  ASSERT_TRUE(Open(LevelPatch()));
  Edit(host);
  const std::vector<std::uint8_t> bank = GetChunk();
  ASSERT_GT(bank.size(), 128u * 4);

  HostHarness fresh;
  ASSERT_TRUE(Open(LevelPatch(), fresh));
  SetChunk(fresh, bank, false);
  EXPECT_EQ(GetChunk(fresh, false), bank) << "what came in goes out again byte for byte";
  for (int program : {0, 1, 3, 5}) {
    host.Dispatch(effSetProgram, 0, program);
    fresh.Dispatch(effSetProgram, 0, program);
    EXPECT_EQ(fresh.TextCall(effGetProgramName), host.TextCall(effGetProgramName)) << program;
    EXPECT_EQ(fresh.GetParameter(0), host.GetParameter(0)) << program;
    EXPECT_EQ(fresh.ParameterText(effGetParamDisplay, 1), host.ParameterText(effGetParamDisplay, 1)) << program;
  }
  host.Dispatch(effSetProgram, 0, 3);
  fresh.Dispatch(effSetProgram, 0, 3);
  Resume(host);
  Resume(fresh);
  EXPECT_EQ(Render(fresh, 8), Render(host, 8));
  EXPECT_EQ(fresh.TextCall(effGetProgramNameIndexed, 3).size(), 23u) << "cut to the host's 24 bytes";
  fresh.Close();
  host.Close();
}

TEST_F(Chunks, AProgramChunkLandsInTheCurrentProgramOnly) {
  ASSERT_TRUE(Open(LevelPatch()));
  Edit(host);
  host.Dispatch(effSetProgram, 0, 3);
  const std::vector<std::uint8_t> program3 = GetChunk(true);
  host.Dispatch(effSetProgram, 0, 9);
  SetChunk(program3, true);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.9f) << "applied at once to the current program";
  EXPECT_EQ(host.TextCall(effGetProgramName), "Dark and long name, lon");
  EXPECT_EQ(GetChunk(true), program3);
  for (int other : {8, 10}) EXPECT_EQ(host.TextCall(effGetProgramNameIndexed, other).substr(0, 5), "Patch");
  host.Dispatch(effSetProgram, 0, 5);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.5f) << "program 5 untouched";
  EXPECT_FLOAT_EQ(host.GetParameter(1), 4.0f / 6.0f);
  host.Dispatch(effSetProgram, 0, 10);
  EXPECT_FLOAT_EQ(host.GetParameter(0), 0.5f);
  host.Close();
}

TEST_F(Chunks, AMeterHoldingNoValuesComesBackTheSame) {
  // A meter is a control with no program values: its entries are written
  // empty and must not turn into 128 zero values when read back.
  krtest::SynthPatch patch("KsP2");
  CPlug2& out = patch.AddAudioOut();
  CUG& level = patch.Add("PatchMemFloatIn", "Level");
  CUG& volts = patch.Add("FloatToVolts", "Volts");
  patch.Wire(level, "Value Out", volts, "Float In");
  patch.Wire(volts, "Volts Out", out);
  patch.Add("Peak Meter", "Meter");
  ASSERT_TRUE(Open(patch.Write()));
  for (const bool program : {false, true}) {
    const std::vector<std::uint8_t> before = GetChunk(program);
    SetChunk(before, program);
    EXPECT_EQ(GetChunk(program), before) << (program ? "program" : "bank");
    SetChunk(GetChunk(program), program);
    EXPECT_EQ(GetChunk(program), before) << "a second trip";
  }
  host.Close();
}

TEST_F(Chunks, DamagedChunksChangeNothing) {
  ASSERT_TRUE(Open(LevelPatch()));
  Edit(host);
  const std::vector<std::uint8_t> bank = GetChunk();
  host.Dispatch(effSetProgram, 0, 3);
  const std::vector<std::uint8_t> program = GetChunk(true);
  // The state the damaged chunks meet differs from theirs everywhere they
  // could have written.
  char other[] = "Other";
  for (int p : {0, 1, 3, 5}) {
    host.Dispatch(effSetProgram, 0, p);
    host.Dispatch(effSetProgramName, 0, 0, other);
    host.SetParameter(0, 0.1f);
    host.SetParameter(1, 1.0f);
  }
  const std::vector<std::uint8_t> state = GetChunk();
  ASSERT_NE(state, bank);

  const auto expectUnchanged = [&](std::vector<std::uint8_t> bytes, bool asProgram, const std::string& what) {
    SetChunk(std::move(bytes), asProgram);
    ASSERT_EQ(GetChunk(), state) << what;
  };
  // Every cut of the bank and of the program; a change would stay, so the
  // state is compared every 50 cuts and at the end.
  for (std::size_t length = 0; length < bank.size(); ++length) {
    SetChunk({bank.begin(), bank.begin() + static_cast<std::ptrdiff_t>(length)}, false);
    if (length % 50 == 0) {
      ASSERT_EQ(GetChunk(), state) << "bank cut to " << length;
    }
  }
  for (std::size_t length = 0; length < program.size(); ++length)
    SetChunk({program.begin(), program.begin() + static_cast<std::ptrdiff_t>(length)}, true);
  ASSERT_EQ(GetChunk(), state) << "the cuts";
  // The header: magic, L = 0, P = 2, two identifiers, then N.
  constexpr std::size_t kN = 20;
  auto damaged = bank;
  Put32(damaged, 0, 852172);
  expectUnchanged(damaged, false, "unknown magic");
  for (std::int32_t n : {0, 129, -1, 0x7fffffff}) {
    damaged = bank;
    Put32(damaged, kN, n);
    expectUnchanged(damaged, false, "N = " + std::to_string(n));
  }
  expectUnchanged(bank, true, "a bank given as a program");
  damaged = bank;
  Put32(damaged, 4, 0x10000000);
  expectUnchanged(damaged, false, "a huge legacy count");
  damaged = bank;
  Put32(damaged, 8, 0x10000000);
  expectUnchanged(damaged, false, "a huge parameter count");
  damaged = bank;
  damaged[kN + 4] = 0xff;  // the first name's length byte: escapes to a 16-bit length of 65533
  damaged.insert(damaged.begin() + kN + 5, {0xfd, 0xff});
  expectUnchanged(damaged, false, "a name longer than the chunk");
  host.Close();
}

TEST_F(Chunks, AnUnknownParameterKeepsWhatWasReadBeforeIt) {
  ASSERT_TRUE(Open(LevelPatch()));
  Edit(host);
  host.Dispatch(effSetProgram, 0, 3);
  std::vector<std::uint8_t> program = GetChunk(true);
  host.Dispatch(effSetProgram, 0, 0);
  Put32(program, 16, 77);  // the second parameter's identifier: no parameter has it
  krtest::PluginMessageCapture messages;
  SetChunk(program, true);
#if !defined(_WIN32)  // the plug-in's message box is a real window on Windows
  EXPECT_EQ(messages.Finish(), krtest::PluginMessageCapture::Line("Some parameters could not be loaded"));
#endif
  EXPECT_EQ(host.TextCall(effGetProgramName), "Dark and long name, lon");
  // The block of the first identifier was read, the one after the unknown
  // identifier was not: one parameter has program 3's value, the other
  // still program 0's.
  const bool levelRead = host.GetParameter(0) == 0.9f;
  const bool shapeRead = host.GetParameter(1) == 1.0f / 6.0f;
  EXPECT_NE(levelRead, shapeRead) << host.GetParameter(0) << " " << host.GetParameter(1);
  host.Close();
}

}  // namespace
