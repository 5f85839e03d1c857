// The bank and program file formats alone: what each form writes, byte for
// byte where the published layout fixes it, read back the same; and files
// that lie about their sizes or names refused or held to their bytes.
#include <gtest/gtest.h>

#include "formats/fxbank/fx_bank.h"

using namespace kr;

namespace {

using namespace kr::fxbank;

const Identity kId{FourCharacters('K', 'r', 'T', 'v'), 3};

std::int32_t IntAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
                                   static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3]);
}

TEST(FxBank, AParameterBankWritesItsHeadersBigEndianAndReadsBack) {
  const std::vector<ParameterProgram> programs = {{kId.fxId, "One", {0.25f, 1.0f}}, {kId.fxId, "Two", {0.5f, 0.0f}}};
  const auto bytes = WriteParameterBank(kId, 2, programs);
  ASSERT_EQ(bytes.size(), kParameterBankHeaderBytes + 2 * (kParameterProgramHeaderBytes + 8));
  EXPECT_EQ(IntAt(bytes, 0), kFileMagic);
  EXPECT_EQ(IntAt(bytes, 4), 0);  // byte size, not filled
  EXPECT_EQ(IntAt(bytes, 8), kParameterBankMagic);
  EXPECT_EQ(IntAt(bytes, 12), 1);
  EXPECT_EQ(IntAt(bytes, 16), kId.fxId);
  EXPECT_EQ(IntAt(bytes, 20), 3);
  EXPECT_EQ(IntAt(bytes, 24), 2);
  EXPECT_EQ(IntAt(bytes, kParameterBankHeaderBytes + 8), kParameterProgramMagic);
  EXPECT_EQ(IntAt(bytes, kParameterBankHeaderBytes + kParameterProgramHeaderBytes), 0x3E800000);  // 0.25f
  std::string reason;
  const auto bank = ReadParameterBank(bytes, 128, reason);
  ASSERT_TRUE(bank.has_value()) << reason;
  ASSERT_EQ(bank->programs.size(), 2u);
  EXPECT_EQ(bank->programs[1].name, "Two");
  EXPECT_EQ(bank->programs[0].values, programs[0].values);
  EXPECT_EQ(ReadParameterBank(bytes, 1, reason)->programs.size(), 1u);  // no more than the plug-in has
}

TEST(FxBank, ChunkFilesKeepTheirChunkAndCutProgramNamesAtTwenty) {
  const std::vector<std::uint8_t> chunk = {1, 2, 3, 4, 5};
  const auto program = WriteChunkProgram(kId, "A program name longer than twenty", chunk);
  ASSERT_EQ(program.size(), kChunkProgramHeaderBytes + 5);
  EXPECT_EQ(IntAt(program, kChunkProgramHeaderBytes - 4), 5);
  std::string reason;
  const auto read = ReadChunkFile(program, false, reason);
  ASSERT_TRUE(read.has_value()) << reason;
  EXPECT_EQ(read->name, "A program name longe");
  EXPECT_EQ(read->chunk, chunk);
  const auto bank = WriteChunkBank(kId, 7, chunk);
  ASSERT_EQ(bank.size(), kChunkBankHeaderBytes + 5);
  EXPECT_EQ(ReadChunkFile(bank, true, reason)->count, 7);
  EXPECT_FALSE(ReadChunkFile(bank, false, reason).has_value());  // a bank is no program
}

TEST(FxBank, SizesBeyondTheFileAndUnterminatedNamesAreHeldToTheBytes) {
  std::string reason;
  auto program = WriteChunkProgram(kId, "x", std::vector<std::uint8_t>(8, 9));
  program[kChunkProgramHeaderBytes - 1] = 9;  // a chunk of 9 bytes where 8 are
  EXPECT_FALSE(ReadChunkFile(program, false, reason).has_value());
  program[kChunkProgramHeaderBytes - 4] = 0x80;  // a negative size
  EXPECT_FALSE(ReadChunkFile(program, false, reason).has_value());

  auto parameters = WriteParameterProgram(kId, {kId.fxId, "", {0.5f}});
  for (std::size_t i = 28; i < 56; ++i) parameters[i] = 'N';  // no terminator
  const auto named = ReadParameterProgram(parameters, reason);
  ASSERT_TRUE(named.has_value());
  EXPECT_EQ(named->name, std::string(kNameBytes, 'N'));
  parameters[27] = 2;  // two values where one is
  EXPECT_FALSE(ReadParameterProgram(parameters, reason).has_value());
  EXPECT_FALSE(ReadParameterBank(std::vector<std::uint8_t>(100, 0), 4, reason).has_value());
  EXPECT_FALSE(reason.empty());
}

}  // namespace
