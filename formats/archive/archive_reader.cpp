#include "formats/archive/archive_reader.h"

#include <bit>
#include <cstring>

#include "base/text_codec.h"
#include "formats/archive/archive_tags.h"

namespace kr {

namespace {

constexpr std::uint16_t kNullTag = 0;
using namespace archive_tags;
constexpr std::size_t kMaxClassNameLength = 63;
// Object nesting deeper than this is not a document we wrote; refusing it
// keeps a hostile stream from exhausting the stack.
constexpr int kMaxDepth = 400;

template <class T>
T LoadLittle(const std::uint8_t* p) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint64_t{p[i]} << (8 * i);
  if constexpr (std::is_same_v<T, float>) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(v));
  } else if constexpr (std::is_same_v<T, double>) {
    return std::bit_cast<double>(v);
  } else {
    return static_cast<T>(v);
  }
}

}  // namespace

ArchiveReader::ArchiveReader(std::span<const std::uint8_t> data, int version, ClassLookup lookup)
    : data_(data), version_(version), lookup_(lookup) {}

ArchiveReader::~ArchiveReader() = default;

const std::uint8_t* ArchiveReader::Take(std::size_t n) {
  if (n > Remaining()) throw ArchiveError("read past the end of the archive");
  const std::uint8_t* p = data_.data() + pos_;
  pos_ += n;
  return p;
}

std::uint8_t ArchiveReader::ReadByte() { return *Take(1); }
std::int16_t ArchiveReader::ReadInt16() { return LoadLittle<std::int16_t>(Take(2)); }
std::uint16_t ArchiveReader::ReadUInt16() { return LoadLittle<std::uint16_t>(Take(2)); }
std::int32_t ArchiveReader::ReadInt32() { return LoadLittle<std::int32_t>(Take(4)); }
std::uint32_t ArchiveReader::ReadUInt32() { return LoadLittle<std::uint32_t>(Take(4)); }
bool ArchiveReader::ReadBool() { return ReadByte() != 0; }
float ArchiveReader::ReadFloat() { return LoadLittle<float>(Take(4)); }
double ArchiveReader::ReadDouble() { return LoadLittle<double>(Take(8)); }

DocRect ArchiveReader::ReadRect() {
  DocRect r;
  r.left = ReadInt32();
  r.top = ReadInt32();
  r.right = ReadInt32();
  r.bottom = ReadInt32();
  return r;
}

DocPoint ArchiveReader::ReadPoint() {
  DocPoint p;
  p.x = ReadInt32();
  p.y = ReadInt32();
  return p;
}

std::vector<std::uint8_t> ArchiveReader::ReadBytes(std::size_t n) {
  const std::uint8_t* p = Take(n);
  return {p, p + n};
}

std::vector<std::uint8_t> ArchiveReader::ReadSizedBytes() {
  const std::int32_t n = ReadInt32();
  if (n < 0) throw ArchiveError("negative byte count");
  return ReadBytes(static_cast<std::size_t>(n));
}

void ArchiveReader::Skip(std::size_t n) { Take(n); }

std::size_t ArchiveReader::ReadTextLength(bool& wide) {
  wide = false;
  std::uint8_t b = ReadByte();
  if (b < 0xFF) return b;
  std::uint16_t w = ReadUInt16();
  if (w == 0xFFFE) {
    wide = true;
    b = ReadByte();
    if (b < 0xFF) return b;
    w = ReadUInt16();
  }
  if (w != 0xFFFF) return w;
  const std::uint32_t d = ReadUInt32();
  if (d != 0xFFFFFFFFu) {
    if (d > 0x7FFFFFFFu) throw ArchiveError("text too long");
    return d;
  }
  const std::uint64_t q = LoadLittle<std::uint64_t>(Take(8));
  if (q > 0x7FFFFFFFu) throw ArchiveError("text too long");
  return static_cast<std::size_t>(q);
}

std::string ArchiveReader::ReadText() {
  bool wide = false;
  const std::size_t length = ReadTextLength(wide);
  const std::size_t bytes = wide ? length * 2 : length;
  if (bytes > Remaining()) throw ArchiveError("text runs past the end of the archive");
  const std::uint8_t* p = Take(bytes);
  return wide ? Utf16LeToUtf8({p, bytes}) : Windows1252ToUtf8({p, bytes});
}

std::uint32_t ArchiveReader::ReadCount() {
  const std::uint16_t c = ReadUInt16();
  if (c != 0xFFFF) return c;
  return ReadUInt32();
}

std::vector<std::string> ArchiveReader::ReadTextList() {
  const std::uint32_t n = ReadCount();
  if (n > Remaining()) throw ArchiveError("text list runs past the end of the archive");
  std::vector<std::string> texts;
  for (std::uint32_t i = 0; i < n; ++i) texts.push_back(ReadText());
  return texts;
}

CObject* ArchiveReader::ReadObject(const RuntimeClass* expected) {
  const std::uint16_t small = ReadUInt16();
  bool newClass = false;
  bool isClassTag = false;
  std::uint32_t index = 0;
  if (small == kNewClassTag) {
    newClass = true;
  } else if (small == kBigObjectTag) {
    const std::uint32_t big = ReadUInt32();
    isClassTag = (big & kBigClassTag) != 0;
    index = big & ~kBigClassTag;
  } else {
    isClassTag = (small & kClassTag) != 0;
    index = small & ~kClassTag;
  }

  if (!newClass && !isClassTag) {
    if (index == kNullTag) return nullptr;
    if (index >= table_.size() || !table_[index].object) throw ArchiveError("bad object index");
    CObject* ob = table_[index].object;
    if (expected && !ob->IsKindOf(*expected)) throw ArchiveError("object of the wrong class");
    return ob;
  }

  const RuntimeClass* cls = nullptr;
  if (newClass) {
    const std::uint16_t schema = ReadUInt16();
    const std::uint16_t nameLength = ReadUInt16();
    if (nameLength > kMaxClassNameLength) throw ArchiveError("class name too long");
    const std::uint8_t* p = Take(nameLength);
    const std::string name(reinterpret_cast<const char*>(p), nameLength);
    cls = lookup_ != nullptr ? lookup_(name) : nullptr;
    if (!cls) throw ArchiveError("unknown class " + name);
    if (!cls->anySchema && schema != cls->schema) throw ArchiveError("schema mismatch for " + name);
    table_.push_back(Slot{cls, nullptr});
  } else {
    if (index == 0 || index >= table_.size() || !table_[index].cls) throw ArchiveError("bad class index");
    cls = table_[index].cls;
  }
  if (expected && !cls->IsDerivedFrom(*expected)) throw ArchiveError(std::string("unexpected class ") + cls->name);
  if (depth_ >= kMaxDepth) throw ArchiveError("objects nested too deeply");

  std::unique_ptr<CObject> made = cls->create();
  CObject* ob = made.get();
  table_.push_back(Slot{nullptr, ob});
  unclaimed_[ob] = made_.size();
  made_.push_back(std::move(made));
  loading_.insert(ob);
  ++depth_;
  ob->Load(*this);
  --depth_;
  loading_.erase(ob);
  return ob;
}

std::unique_ptr<CObject> ArchiveReader::Claim(CObject* ob) {
  if (!ob || loading_.contains(ob)) return nullptr;
  auto it = unclaimed_.find(ob);
  if (it == unclaimed_.end()) return nullptr;
  std::unique_ptr<CObject> owned = std::move(made_[it->second]);
  unclaimed_.erase(it);
  return owned;
}

std::vector<std::unique_ptr<CObject>> ArchiveReader::ReleaseUnclaimed() {
  std::vector<std::unique_ptr<CObject>> rest;
  for (auto& ob : made_)
    if (ob) rest.push_back(std::move(ob));
  made_.clear();
  unclaimed_.clear();
  return rest;
}

}  // namespace kr
