// VST bank (".fxb") and program (".fxp") files, in both published forms: a
// parameter form (one float per parameter for each program) and a chunk form
// (the plug-in's own opaque chunk). Every field is big-endian. Files come
// from outside: a reader checks every count and size against the bytes it
// was given, keeps name fields to their 28 bytes, and answers a file or an
// error, never a part of one.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kr::fxbank {

constexpr std::int32_t FourCharacters(char a, char b, char c, char d) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint8_t>(a)) << 24 |
                                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(b)) << 16 |
                                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(c)) << 8 |
                                   static_cast<std::uint32_t>(static_cast<std::uint8_t>(d)));
}

inline constexpr std::int32_t kFileMagic = FourCharacters('C', 'c', 'n', 'K');
inline constexpr std::int32_t kParameterBankMagic = FourCharacters('F', 'x', 'B', 'k');
inline constexpr std::int32_t kParameterProgramMagic = FourCharacters('F', 'x', 'C', 'k');
inline constexpr std::int32_t kChunkBankMagic = FourCharacters('F', 'B', 'C', 'h');
inline constexpr std::int32_t kChunkProgramMagic = FourCharacters('F', 'P', 'C', 'h');

inline constexpr std::size_t kNameBytes = 28;
inline constexpr std::size_t kParameterBankHeaderBytes = 156;
inline constexpr std::size_t kParameterProgramHeaderBytes = 56;
inline constexpr std::size_t kChunkBankHeaderBytes = 160;
inline constexpr std::size_t kChunkProgramHeaderBytes = 60;

// The identity every header carries.
struct Identity {
  std::int32_t fxId = 0;       // the plug-in's unique ID
  std::int32_t fxVersion = 0;  // the plug-in's version
};

// One program of the parameter form.
struct ParameterProgram {
  std::int32_t fxId = 0;
  std::string name;
  std::vector<float> values;
};

struct ParameterBank {
  Identity identity;
  std::int32_t programCount = 0;  // as the header says
  std::vector<ParameterProgram> programs;
};

// A chunk-form file: a bank (name empty) or a program.
struct ChunkFile {
  Identity identity;
  std::int32_t count = 0;
  std::string name;
  std::vector<std::uint8_t> chunk;
};

// Writers. Names longer than the field keeps (27 bytes and the terminator;
// 20 for a chunk program, as published) are cut.
std::vector<std::uint8_t> WriteParameterBank(const Identity& identity, std::int32_t programCount,
                                             std::span<const ParameterProgram> programs);
std::vector<std::uint8_t> WriteParameterProgram(const Identity& identity, const ParameterProgram& program);
std::vector<std::uint8_t> WriteChunkBank(const Identity& identity, std::int32_t programCount,
                                         std::span<const std::uint8_t> chunk);
std::vector<std::uint8_t> WriteChunkProgram(const Identity& identity, std::string_view name,
                                            std::span<const std::uint8_t> chunk);

// Readers: nothing (and a reason) for a file of another kind, a damaged or
// short one. A parameter bank gives at most maxPrograms programs, fewer when
// the file ends after a whole program.
std::optional<ParameterBank> ReadParameterBank(std::span<const std::uint8_t> bytes, int maxPrograms,
                                               std::string& reason);
std::optional<ParameterProgram> ReadParameterProgram(std::span<const std::uint8_t> bytes, std::string& reason);
std::optional<ChunkFile> ReadChunkFile(std::span<const std::uint8_t> bytes, bool bank, std::string& reason);

// An ID as its four characters ("KRdt").
std::string IdText(std::int32_t id);

}  // namespace kr::fxbank
