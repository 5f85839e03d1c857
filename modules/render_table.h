// The one way a module chooses its render function by the state of its
// inputs. The render function is a template with a flag per input that may
// stream (and, where it matters, a small mode such as a wave shape);
// RenderTable builds the table of every instantiation at compile time, and
// the module's ChooseProcess installs the entry for the run-state bits that
// RunBits packs from its inputs now.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>
#include <utility>

namespace kr {

// Bit k (0 the lowest) of the index a table entry is made for.
template <int K, class Index>
constexpr bool Bit(Index) {
  return ((Index::value >> K) & 1u) != 0;
}

// The table entry i is make(std::integral_constant<std::size_t, i>{}): a
// pointer to the instantiation for those bits.
template <std::size_t Size, class Make>
constexpr auto RenderTable(Make make) {
  using Entry = decltype(make(std::integral_constant<std::size_t, 0>{}));
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<Entry, Size>{make(std::integral_constant<std::size_t, I>{})...};
  }(std::make_index_sequence<Size>{});
}

// The flags as table bits, the first flag the highest bit (so an index reads
// in the order of the render template's arguments).
template <class... Flags>
constexpr std::size_t RunBits(Flags... flags) {
  std::size_t bits = 0;
  ((bits = (bits << 1) | (flags ? 1u : 0u)), ...);
  return bits;
}

}  // namespace kr
