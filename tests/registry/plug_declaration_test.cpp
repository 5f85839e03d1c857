// The plug declaration's compile-time checks refuse the faults they exist
// for, and a listed table binds each row to the member it names.
#include "registry/plug_declaration.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

using namespace kr;

namespace {

struct Probe {
  enum { PN_IN, PN_MODE, PN_OUT };
  float* in = nullptr;
  float* out = nullptr;
  std::int16_t mode = 0;
  float level = 0.0f;
  double time = 0.0;
  std::int32_t count = 0;
  bool on = false;
  std::string text;
  MidiInEndpoint midiIn;
  MidiOutEndpoint midiOut;
};

constexpr PlugDecl<Probe> kSound[] = {
    {.at = Probe::PN_IN, .name = "In", .bind = &Probe::in},
    {.at = Probe::PN_MODE, .name = "Mode", .type = DT_ENUM, .list = "A,B", .bind = &Probe::mode},
    {.at = Probe::PN_OUT, .name = "Out", .direction = DR_OUT, .bind = &Probe::out},
    {.name = "Level", .type = DT_FLOAT, .bind = &Probe::level},
    {.name = "Time", .type = DT_DOUBLE, .bind = &Probe::time},
    {.name = "Count", .type = DT_INT, .bind = &Probe::count},
    {.name = "On", .type = DT_BOOL, .bind = &Probe::on},
    {.name = "Text", .type = DT_TEXT, .bind = &Probe::text},
    {.name = "MIDI In", .type = DT_MIDI, .bind = &Probe::midiIn},
    {.name = "MIDI Out", .direction = DR_OUT, .type = DT_MIDI, .bind = &Probe::midiOut},
    {.name = "Unbound", .type = DT_FLOAT},
};
static_assert(PlugIndicesMatch(kSound) && PlugBindingsMatch(kSound));

// Two rows swapped against their constants.
constexpr PlugDecl<Probe> kSwapped[] = {
    {.at = Probe::PN_MODE, .name = "Mode", .type = DT_ENUM, .bind = &Probe::mode},
    {.at = Probe::PN_IN, .name = "In", .bind = &Probe::in},
};
static_assert(!PlugIndicesMatch(kSwapped));
// A list appended after two inherited plugs starts at 2.
static_assert(!PlugIndicesMatch(kSound, 2));
constexpr PlugDecl<Probe> kAfterTwo[] = {{.at = Probe::PN_OUT, .name = "Out", .direction = DR_OUT}};
static_assert(PlugIndicesMatch(kAfterTwo, 2) && !PlugIndicesMatch(kAfterTwo));

// Members the engine would write with the wrong width, or a buffer on a value plug.
constexpr PlugDecl<Probe> kEnumOnFloat[] = {{.name = "Mode", .type = DT_ENUM, .bind = &Probe::level}};
constexpr PlugDecl<Probe> kFloatOnDouble[] = {{.name = "Time", .type = DT_FLOAT, .bind = &Probe::time}};
constexpr PlugDecl<Probe> kBufferOnValue[] = {{.name = "Level", .type = DT_FLOAT, .bind = &Probe::in}};
constexpr PlugDecl<Probe> kValueOnAudio[] = {{.name = "In", .bind = &Probe::level}};
constexpr PlugDecl<Probe> kMidiOutOnInput[] = {{.name = "MIDI In", .type = DT_MIDI, .bind = &Probe::midiOut}};
static_assert(!PlugBindingsMatch(kEnumOnFloat) && !PlugBindingsMatch(kFloatOnDouble) &&
              !PlugBindingsMatch(kBufferOnValue) && !PlugBindingsMatch(kValueOnAudio) &&
              !PlugBindingsMatch(kMidiOutOnInput));

TEST(PlugDeclaration, ListedRowsPointAtTheMembersTheyName) {
  Probe probe;
  InterfaceList list;
  ListPlugs(list, probe, kSound);
  ASSERT_EQ(list.size(), std::size(kSound));
  EXPECT_EQ(list[Probe::PN_IN].bufferBinding, &probe.in);
  EXPECT_EQ(list[Probe::PN_IN].valueBinding, nullptr);
  EXPECT_EQ(list[Probe::PN_OUT].bufferBinding, &probe.out);
  const void* values[] = {&probe.mode, &probe.level, &probe.time, &probe.count,
                          &probe.on,   &probe.text,  &probe.midiIn, &probe.midiOut};
  const std::size_t rows[] = {1, 3, 4, 5, 6, 7, 8, 9};
  for (std::size_t k = 0; k < std::size(rows); ++k) {
    EXPECT_EQ(list[rows[k]].valueBinding, values[k]) << list[rows[k]].name;
    EXPECT_EQ(list[rows[k]].bufferBinding, nullptr) << list[rows[k]].name;
  }
  EXPECT_EQ(list.back().valueBinding, nullptr);
  EXPECT_EQ(list[Probe::PN_MODE].listText, "A,B");
  EXPECT_EQ(list[Probe::PN_MODE].dataType, DT_ENUM);
  EXPECT_EQ(list[Probe::PN_OUT].direction, DR_OUT);
}

}  // namespace

namespace {

// Rows listed one at a time, and tables listed after other rows, are checked
// where they land: a constant that drifted from the call order stops the listing.
TEST(PlugDeclaration, ARowListedAwayFromItsConstantIsRefused) {
  Probe probe;
  InterfaceList list;
  ListPlug(list, probe, PlugDecl<Probe>{.at = Probe::PN_IN, .name = "In", .bind = &Probe::in});
  EXPECT_THROW(ListPlug(list, PlugDecl<Probe>{.at = Probe::PN_OUT, .name = "Out", .direction = DR_OUT}),
               std::logic_error);
  ListPlug(list, PlugDecl<Probe>{.at = Probe::PN_MODE, .name = "Mode", .type = DT_ENUM}, probe.mode);
  EXPECT_EQ(list.size(), 2u);
  EXPECT_NO_THROW(ListPlugs(list, probe, kAfterTwo));
  InterfaceList fresh;
  EXPECT_THROW(ListPlugs(fresh, probe, kAfterTwo), std::logic_error);  // the table's offset is wrong here
}

}  // namespace
