#include "engine/msg_stream.h"

#include <array>
#include <bit>

#include "base/lock_free_fifo.h"

namespace kr {

my_output_stream& my_output_stream::operator<<(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  const std::array<std::uint8_t, 4> bytes = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                             static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
  Write(bytes);
  return *this;
}

my_output_stream& my_output_stream::operator<<(float v) { return *this << std::bit_cast<std::int32_t>(v); }

my_output_stream& my_output_stream::operator<<(std::uint8_t v) {
  Write(std::span<const std::uint8_t>(&v, 1));
  return *this;
}

my_input_stream& my_input_stream::operator>>(std::int32_t& v) {
  std::array<std::uint8_t, 4> b{};
  Read(b);
  v = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                                (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
  return *this;
}

my_input_stream& my_input_stream::operator>>(float& v) {
  std::int32_t bits = 0;
  *this >> bits;
  v = std::bit_cast<float>(bits);
  return *this;
}

my_input_stream& my_input_stream::operator>>(std::uint8_t& v) {
  Read(std::span<std::uint8_t>(&v, 1));
  return *this;
}

my_input_stream& my_input_stream::operator>>(bool& v) {
  std::uint8_t b = 0;
  *this >> b;
  v = b != 0;
  return *this;
}

my_msg_que_output_stream::my_msg_que_output_stream(lock_free_fifo& queue, std::int32_t handle, std::int32_t id)
    : queue_(queue) {
  *this << handle << id;
}

void my_msg_que_output_stream::Write(std::span<const std::uint8_t> bytes) { queue_.Write(bytes); }

void my_msg_que_output_stream::Send() { queue_.MessageComplete(); }

void my_msg_que_input_stream::Read(std::span<std::uint8_t> bytes) { queue_.Read(bytes); }

}  // namespace kr
