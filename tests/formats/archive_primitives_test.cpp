// Byte formats of the archive primitives: integers, texts, counts, tags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/archive/archive_reader.h"
#include "formats/archive/archive_writer.h"

using namespace kr;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string RoundTripText(const std::string& text, Bytes* written = nullptr) {
  ArchiveWriter w(95710);
  w.WriteText(text);
  if (written) *written = w.Bytes();
  ArchiveReader r(w.Bytes());
  std::string back = r.ReadText();
  EXPECT_EQ(r.Remaining(), 0u);
  return back;
}

TEST(ArchivePrimitives, IntegersAreLittleEndian) {
  ArchiveWriter w(95710);
  w.WriteInt32(-2);
  w.WriteUInt16(0x1234);
  w.WriteBool(true);
  w.WriteDouble(0.5);
  EXPECT_EQ(w.Bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12, 1, 0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));
  ArchiveReader r(w.Bytes());
  EXPECT_EQ(r.ReadInt32(), -2);
  EXPECT_EQ(r.ReadUInt16(), 0x1234);
  EXPECT_TRUE(r.ReadBool());
  EXPECT_EQ(r.ReadDouble(), 0.5);
}

TEST(ArchivePrimitives, AnyNonZeroByteIsTrue) {
  const Bytes data{7};
  ArchiveReader r(data);
  EXPECT_TRUE(r.ReadBool());
}

TEST(ArchivePrimitives, TextLengthPrefixLadder) {
  Bytes b;
  EXPECT_EQ(RoundTripText(std::string(254, 'a'), &b), std::string(254, 'a'));
  EXPECT_EQ(b[0], 254);
  EXPECT_EQ(b.size(), 255u);

  EXPECT_EQ(RoundTripText(std::string(255, 'b'), &b), std::string(255, 'b'));
  EXPECT_EQ((Bytes{b[0], b[1], b[2]}), (Bytes{0xFF, 0xFF, 0x00}));
  EXPECT_EQ(b.size(), 3u + 255u);

  EXPECT_EQ(RoundTripText(std::string(0xFFFD, 'c'), &b).size(), 0xFFFDu);
  EXPECT_EQ((Bytes{b[0], b[1], b[2]}), (Bytes{0xFF, 0xFD, 0xFF}));

  EXPECT_EQ(RoundTripText(std::string(0xFFFE, 'd'), &b).size(), 0xFFFEu);
  EXPECT_EQ((Bytes{b[0], b[1], b[2], b[3], b[4], b[5], b[6]}), (Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0, 0}));
}

TEST(ArchivePrimitives, WideTextsReadAsUtf8) {
  // 255 0xFFFE marks UTF-16; the length prefix starts again.
  const Bytes data{0xFF, 0xFE, 0xFF, 2, 0xE9, 0x00, 0xAC, 0x20};
  ArchiveReader r(data);
  EXPECT_EQ(r.ReadText(), "\xC3\xA9\xE2\x82\xAC");  // e-acute, euro
  Bytes written;
  EXPECT_EQ(RoundTripText("\xC3\xA9\xE2\x82\xAC", &written), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(written, data);
}

TEST(ArchivePrimitives, SupplementaryCharactersAndBadUtf8) {
  const std::string clef = "\xF0\x9D\x84\x9E";  // U+1D11E, a surrogate pair in UTF-16
  EXPECT_EQ(RoundTripText("a" + clef), "a" + clef);
  // Bytes that are not UTF-8 are stored as U+FFFD rather than dropped.
  EXPECT_EQ(RoundTripText("x\xFFy"), "x\xEF\xBF\xBDy");
  // A lone surrogate read from a document becomes U+FFFD.
  const Bytes lone{0xFF, 0xFE, 0xFF, 1, 0x00, 0xD8};
  ArchiveReader r(lone);
  EXPECT_EQ(r.ReadText(), "\xEF\xBF\xBD");
}

TEST(ArchivePrimitives, SingleByteTextsAreWindows1252) {
  const Bytes data{3, 'a', 0x80, 0xE9};
  ArchiveReader r(data);
  EXPECT_EQ(r.ReadText(), "a\xE2\x82\xAC\xC3\xA9");
}

TEST(ArchivePrimitives, LongTextLengthsAndLimits) {
  // 64-bit length beyond 2^31-1 fails.
  const Bytes huge{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0};
  ArchiveReader r1(huge);
  EXPECT_THROW(r1.ReadText(), ArchiveError);
  // A plausible length with too few bytes fails rather than reading on.
  const Bytes shortText{10, 'a', 'b'};
  ArchiveReader r2(shortText);
  EXPECT_THROW(r2.ReadText(), ArchiveError);
  // 64-bit form with a small length is accepted.
  const Bytes q{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0, 'z'};
  ArchiveReader r3(q);
  EXPECT_EQ(r3.ReadText(), "z");
}

TEST(ArchivePrimitives, CountsEscapeAt0xFFFF) {
  ArchiveWriter w(95710);
  w.WriteCount(0xFFFE);
  w.WriteCount(0xFFFF);
  EXPECT_EQ(w.Bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
  ArchiveReader r(w.Bytes());
  EXPECT_EQ(r.ReadCount(), 0xFFFEu);
  EXPECT_EQ(r.ReadCount(), 0xFFFFu);
}

TEST(ArchivePrimitives, ReadingPastTheEndFails) {
  const Bytes data{1, 2, 3};
  ArchiveReader r(data);
  EXPECT_THROW(r.ReadInt32(), ArchiveError);
  ArchiveReader r2(data);
  EXPECT_THROW(r2.ReadBytes(4), ArchiveError);
  const Bytes sized{5, 0, 0, 0, 1};
  ArchiveReader r3(sized);
  EXPECT_THROW(r3.ReadSizedBytes(), ArchiveError);
}

TEST(ArchiveObjects, NullUnknownAndBadTags) {
  const Bytes null{0, 0};
  ArchiveReader r(null);
  EXPECT_EQ(r.ReadObject(), nullptr);

  const Bytes unknown{0xFF, 0xFF, 1, 0, 3, 0, 'X', 'y', 'z'};
  ArchiveReader r2(unknown);
  EXPECT_THROW(r2.ReadObject(), ArchiveError);

  const Bytes badRef{5, 0};
  ArchiveReader r3(badRef);
  EXPECT_THROW(r3.ReadObject(), ArchiveError);

  const Bytes badClass{0x01, 0x80};
  ArchiveReader r4(badClass);
  EXPECT_THROW(r4.ReadObject(), ArchiveError);

  const Bytes longName{0xFF, 0xFF, 1, 0, 64, 0};
  ArchiveReader r5(longName);
  EXPECT_THROW(r5.ReadObject(), ArchiveError);
}

}  // namespace
