#include "formats/fxbank/fx_bank.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kr::fxbank {

namespace {

constexpr std::size_t kCommonHeaderBytes = 28;  // magic, size, form, version, ID, version, count
constexpr std::size_t kReservedBytes = 128;
constexpr std::size_t kChunkProgramNameLimit = 20;

class Writer {
 public:
  void Int(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) bytes_.push_back(static_cast<std::uint8_t>(bits >> shift));
  }
  void Float(float value) { Int(static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(value))); }
  void Zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void Name(std::string_view name, std::size_t limit) {
    const std::size_t n = std::min({name.size(), limit, kNameBytes - 1});
    bytes_.insert(bytes_.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(n));
    Zeros(kNameBytes - n);
  }
  void Bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
  void Header(std::int32_t form, const Identity& identity, std::int32_t count) {
    Int(kFileMagic);
    Int(0);  // byte size: not filled, as readers do not need it
    Int(form);
    Int(1);
    Int(identity.fxId);
    Int(identity.fxVersion);
    Int(count);
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Reads forward; a read past the end sets the failure and gives zeros.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::int32_t Int() {
    if (!Has(4)) return 0;
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = bits << 8 | bytes_[at_++];
    return static_cast<std::int32_t>(bits);
  }
  float Float() { return std::bit_cast<float>(static_cast<std::uint32_t>(Int())); }
  void Skip(std::size_t n) {
    if (Has(n)) at_ += n;
  }
  std::string Name() {
    if (!Has(kNameBytes)) return {};
    const char* field = reinterpret_cast<const char*>(bytes_.data() + at_);
    at_ += kNameBytes;
    return std::string(field, strnlen(field, kNameBytes));
  }
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    if (!Has(n)) return {};
    std::vector<std::uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                                  bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return out;
  }
  std::size_t Remaining() const { return bytes_.size() - at_; }
  bool ok() const { return ok_; }

 private:
  bool Has(std::size_t n) {
    if (ok_ && n <= Remaining()) return true;
    ok_ = false;
    return false;
  }
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

struct CommonHeader {
  std::int32_t form = 0;
  Identity identity;
  std::int32_t count = 0;
};

bool ReadHeader(Reader& r, std::int32_t form, CommonHeader& header, std::string& reason) {
  const std::int32_t magic = r.Int();
  r.Int();  // byte size: written as 0 by many hosts
  header.form = r.Int();
  r.Int();  // format version
  header.identity.fxId = r.Int();
  header.identity.fxVersion = r.Int();
  header.count = r.Int();
  if (!r.ok()) {
    reason = "the file is too short";
    return false;
  }
  if (magic != kFileMagic || header.form != form) {
    reason = "not a file of this kind";
    return false;
  }
  return true;
}

std::optional<ParameterProgram> ReadProgram(Reader& r, std::string& reason) {
  CommonHeader header;
  if (!ReadHeader(r, kParameterProgramMagic, header, reason)) return std::nullopt;
  ParameterProgram program;
  program.fxId = header.identity.fxId;
  program.name = r.Name();
  if (header.count < 0 || static_cast<std::size_t>(header.count) > r.Remaining() / 4) {
    reason = "a parameter count beyond the end of the file";
    return std::nullopt;
  }
  program.values.reserve(static_cast<std::size_t>(header.count));
  for (std::int32_t i = 0; i < header.count; ++i) program.values.push_back(r.Float());
  if (!r.ok()) {
    reason = "the file is too short";
    return std::nullopt;
  }
  return program;
}

void WriteProgram(Writer& w, const Identity& identity, const ParameterProgram& program) {
  w.Header(kParameterProgramMagic, identity, static_cast<std::int32_t>(program.values.size()));
  w.Name(program.name, kNameBytes);
  for (float v : program.values) w.Float(v);
}

}  // namespace

std::vector<std::uint8_t> WriteParameterBank(const Identity& identity, std::int32_t programCount,
                                             std::span<const ParameterProgram> programs) {
  Writer w;
  w.Header(kParameterBankMagic, identity, programCount);
  w.Zeros(kParameterBankHeaderBytes - kCommonHeaderBytes);
  for (const ParameterProgram& program : programs) WriteProgram(w, identity, program);
  return w.Take();
}

std::vector<std::uint8_t> WriteParameterProgram(const Identity& identity, const ParameterProgram& program) {
  Writer w;
  WriteProgram(w, identity, program);
  return w.Take();
}

std::vector<std::uint8_t> WriteChunkBank(const Identity& identity, std::int32_t programCount,
                                         std::span<const std::uint8_t> chunk) {
  Writer w;
  w.Header(kChunkBankMagic, identity, programCount);
  w.Zeros(kReservedBytes);
  w.Int(static_cast<std::int32_t>(chunk.size()));
  w.Bytes(chunk);
  return w.Take();
}

std::vector<std::uint8_t> WriteChunkProgram(const Identity& identity, std::string_view name,
                                            std::span<const std::uint8_t> chunk) {
  Writer w;
  w.Header(kChunkProgramMagic, identity, 1);
  w.Name(name, kChunkProgramNameLimit);
  w.Int(static_cast<std::int32_t>(chunk.size()));
  w.Bytes(chunk);
  return w.Take();
}

std::optional<ParameterBank> ReadParameterBank(std::span<const std::uint8_t> bytes, int maxPrograms,
                                               std::string& reason) {
  Reader r(bytes);
  CommonHeader header;
  if (!ReadHeader(r, kParameterBankMagic, header, reason)) return std::nullopt;
  r.Skip(kParameterBankHeaderBytes - kCommonHeaderBytes);
  if (!r.ok()) {
    reason = "the file is too short";
    return std::nullopt;
  }
  ParameterBank bank;
  bank.identity = header.identity;
  bank.programCount = header.count;
  while (static_cast<int>(bank.programs.size()) < maxPrograms && r.Remaining() > 0) {
    std::optional<ParameterProgram> program = ReadProgram(r, reason);
    if (!program) return std::nullopt;
    bank.programs.push_back(std::move(*program));
  }
  return bank;
}

std::optional<ParameterProgram> ReadParameterProgram(std::span<const std::uint8_t> bytes, std::string& reason) {
  Reader r(bytes);
  return ReadProgram(r, reason);
}

std::optional<ChunkFile> ReadChunkFile(std::span<const std::uint8_t> bytes, bool bank, std::string& reason) {
  Reader r(bytes);
  CommonHeader header;
  if (!ReadHeader(r, bank ? kChunkBankMagic : kChunkProgramMagic, header, reason)) return std::nullopt;
  ChunkFile file;
  file.identity = header.identity;
  file.count = header.count;
  if (bank)
    r.Skip(kReservedBytes);
  else
    file.name = r.Name();
  const std::int32_t size = r.Int();
  if (!r.ok()) {
    reason = "the file is too short";
    return std::nullopt;
  }
  if (size < 0 || static_cast<std::size_t>(size) > r.Remaining()) {
    reason = "a chunk size beyond the end of the file";
    return std::nullopt;
  }
  file.chunk = r.Bytes(static_cast<std::size_t>(size));
  return file;
}

std::string IdText(std::int32_t id) {
  const auto bits = static_cast<std::uint32_t>(id);
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text.push_back(static_cast<char>(bits >> shift & 0xFFu));
  return text;
}

}  // namespace kr::fxbank
