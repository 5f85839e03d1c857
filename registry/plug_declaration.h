// The one form a module declares its plugs in: a constant table of rows
// written with designated initializers, one row a plug, in stored order.
//
//   void ug_thing::ListInterface(InterfaceList& list) {
//     static constexpr PlugDecl<ug_thing> kPlugs[] = {
//         {.at = PN_IN, .name = "In", .type = DT_AUDIO, .flags = PF_SIGNAL, .bind = &ug_thing::in_},
//         {.at = PN_MODE, .name = "Mode", .type = DT_ENUM, .list = "A,B", .bind = &ug_thing::mode_},
//     };
//     static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
//     ListPlugs(list, *this, kPlugs);
//   }
//
// `.at` names the module's index constant for the row; the compiler refuses a
// table whose constants are not the rows' positions, or whose bound members do
// not have the width the engine writes for the row's data type. Rows that
// repeat (one per stage, one per slot) and members that are not plain fields
// are listed one at a time with ListPlug. Whatever the form, a row whose `.at`
// is not where it lands in the list stops the listing with a logic_error, so
// the registry walk of the tests catches a constant that drifted from the
// order of the ListPlug calls (or a table's offset that does not match).
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "registry/input_array.h"
#include "registry/interface_object.h"
#include "registry/midi_link.h"
#include "registry/plug_types.h"

namespace kr {

inline constexpr int kNoIndexConstant = -1;

// What a row's member is; each kind is the one the engine writes for a data type.
enum class PlugBound : std::uint8_t {
  kNone,
  kBuffer,
  kFloat,
  kDouble,
  kInt16,
  kInt32,
  kBool,
  kText,
  kMidiIn,
  kMidiOut
};

// A member of module class M that a plug is bound to: an audio plug's sample
// buffer pointer, or the variable holding a value plug's value.
template <class M>
class PlugBinding {
 public:
  constexpr PlugBinding() = default;
  constexpr PlugBinding(float* M::*m) : kind(PlugBound::kBuffer), member_{.buffer = m} {}
  constexpr PlugBinding(float M::*m) : kind(PlugBound::kFloat), member_{.f = m} {}
  constexpr PlugBinding(double M::*m) : kind(PlugBound::kDouble), member_{.d = m} {}
  constexpr PlugBinding(std::int16_t M::*m) : kind(PlugBound::kInt16), member_{.i16 = m} {}
  constexpr PlugBinding(std::int32_t M::*m) : kind(PlugBound::kInt32), member_{.i32 = m} {}
  constexpr PlugBinding(bool M::*m) : kind(PlugBound::kBool), member_{.b = m} {}
  constexpr PlugBinding(std::string M::*m) : kind(PlugBound::kText), member_{.text = m} {}
  constexpr PlugBinding(MidiInEndpoint M::*m) : kind(PlugBound::kMidiIn), member_{.midiIn = m} {}
  constexpr PlugBinding(MidiOutEndpoint M::*m) : kind(PlugBound::kMidiOut), member_{.midiOut = m} {}

  PlugBound kind = PlugBound::kNone;

  float** Buffer(M& module) const { return kind == PlugBound::kBuffer ? &(module.*member_.buffer) : nullptr; }
  void* Value(M& module) const {
    switch (kind) {
      case PlugBound::kFloat:
        return &(module.*member_.f);
      case PlugBound::kDouble:
        return &(module.*member_.d);
      case PlugBound::kInt16:
        return &(module.*member_.i16);
      case PlugBound::kInt32:
        return &(module.*member_.i32);
      case PlugBound::kBool:
        return &(module.*member_.b);
      case PlugBound::kText:
        return &(module.*member_.text);
      case PlugBound::kMidiIn:
        return &(module.*member_.midiIn);
      case PlugBound::kMidiOut:
        return &(module.*member_.midiOut);
      default:
        return nullptr;
    }
  }

 private:
  union Member {
    std::nullptr_t none;
    float* M::*buffer;
    float M::*f;
    double M::*d;
    std::int16_t M::*i16;
    std::int32_t M::*i32;
    bool M::*b;
    std::string M::*text;
    MidiInEndpoint M::*midiIn;
    MidiOutEndpoint M::*midiOut;
  };
  Member member_{.none = nullptr};
};

// One plug. `list` is a range ("100, 0, 10, 0") or an item list ("Sine,Saw").
template <class M>
struct PlugDecl {
  int at = kNoIndexConstant;
  std::string_view name;
  PlugDirection direction = DR_IN;
  PlugDataType type = DT_AUDIO;
  std::string_view defaultText = "";
  std::string_view list = "";
  std::uint32_t flags = 0;
  std::string_view hint = "";
  PlugBinding<M> bind = {};
};

// The engine's variable type for each value data type (what the bound-type
// check in InterfaceObject expects), as a binding kind.
constexpr PlugBound BoundKindOf(PlugDataType type, PlugDirection direction) {
  switch (type) {
    case DT_ENUM:
      return PlugBound::kInt16;
    case DT_TEXT:
      return PlugBound::kText;
    case DT_DOUBLE:
      return PlugBound::kDouble;
    case DT_BOOL:
      return PlugBound::kBool;
    case DT_FLOAT:
      return PlugBound::kFloat;
    case DT_INT:
      return PlugBound::kInt32;
    case DT_AUDIO:
      return PlugBound::kBuffer;
    case DT_MIDI:
      return direction == DR_OUT ? PlugBound::kMidiOut : PlugBound::kMidiIn;
  }
  return PlugBound::kNone;
}

// Every row that names an index constant sits at that position.
template <class M, std::size_t N>
constexpr bool PlugIndicesMatch(const PlugDecl<M> (&table)[N], int first = 0) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i].at != kNoIndexConstant && table[i].at != first + static_cast<int>(i)) return false;
  return true;
}

// Every bound member has the type its row's data type is written as.
template <class M, std::size_t N>
constexpr bool PlugBindingsMatch(const PlugDecl<M> (&table)[N]) {
  for (const PlugDecl<M>& row : table)
    if (row.bind.kind != PlugBound::kNone && row.bind.kind != BoundKindOf(row.type, row.direction)) return false;
  return true;
}

namespace plug_declaration_detail {

// The bound-type argument InterfaceObject checks (nullptr: nothing to check).
inline const std::type_info* BoundTypeOf(PlugBound kind) {
  switch (kind) {
    case PlugBound::kFloat:
      return &typeid(float);
    case PlugBound::kDouble:
      return &typeid(double);
    case PlugBound::kInt16:
      return &typeid(std::int16_t);
    case PlugBound::kInt32:
      return &typeid(std::int32_t);
    case PlugBound::kBool:
      return &typeid(bool);
    case PlugBound::kText:
      return &typeid(std::string);
    case PlugBound::kMidiIn:
      return &typeid(MidiInEndpoint);
    case PlugBound::kMidiOut:
      return &typeid(MidiOutEndpoint);
    default:
      return nullptr;
  }
}

// A row that names its index constant lands at that position.
template <class M>
void ExpectPosition(const InterfaceList& list, const PlugDecl<M>& row) {
  if (row.at == kNoIndexConstant || static_cast<std::size_t>(row.at) == list.size()) return;
  throw std::logic_error("plug \"" + std::string(row.name) + "\" is declared at " + std::to_string(row.at) +
                         " but listed at " + std::to_string(list.size()));
}

}  // namespace plug_declaration_detail

// Appends one row, bound to a member of `module` (or to nothing).
template <class M>
void ListPlug(InterfaceList& list, M& module, const PlugDecl<M>& row) {
  plug_declaration_detail::ExpectPosition(list, row);
  list.emplace_back(row.bind.Value(module), plug_declaration_detail::BoundTypeOf(row.bind.kind), std::string(row.name),
                    row.direction, row.type, std::string(row.defaultText), std::string(row.list), row.flags,
                    std::string(row.hint), row.bind.Buffer(module));
}

// Appends one unbound row (plugs the engine reads through GetPlug alone).
template <class M>
void ListPlug(InterfaceList& list, const PlugDecl<M>& row) {
  plug_declaration_detail::ExpectPosition(list, row);
  list.emplace_back(nullptr, nullptr, std::string(row.name), row.direction, row.type, std::string(row.defaultText),
                    std::string(row.list), row.flags, std::string(row.hint));
}

// Appends one row bound to `buffer`, an audio plug's sample buffer pointer
// that is not a plain member (an array element).
template <class M>
void ListPlug(InterfaceList& list, const PlugDecl<M>& row, float*& buffer) {
  plug_declaration_detail::ExpectPosition(list, row);
  list.emplace_back(nullptr, nullptr, std::string(row.name), row.direction, row.type, std::string(row.defaultText),
                    std::string(row.list), row.flags, std::string(row.hint), &buffer);
}

// Appends one row bound to `value`, a variable that is not a plain member, or a
// summing input's source list (any BaseInputArray).
template <class M, class T>
requires(!std::is_same_v<T, float*>) void ListPlug(InterfaceList& list, const PlugDecl<M>& row, T& value) {
  plug_declaration_detail::ExpectPosition(list, row);
  const std::type_info* type = nullptr;
  if constexpr (!std::is_base_of_v<BaseInputArray, T>) type = &typeid(T);
  list.emplace_back(&value, type, std::string(row.name), row.direction, row.type, std::string(row.defaultText),
                    std::string(row.list), row.flags, std::string(row.hint));
}

// Appends a whole table in order.
template <class M, std::size_t N>
void ListPlugs(InterfaceList& list, M& module, const PlugDecl<M> (&table)[N]) {
  for (const PlugDecl<M>& row : table) ListPlug(list, module, row);
}

}  // namespace kr
