#include "patchtext/patch_names.h"

#include <array>

namespace kr {

namespace patchtext {

namespace {

struct TypeName {
  int type;
  const char* name;
};
constexpr std::array<TypeName, 8> kTypes{{{DT_ENUM, "enum"},
                                          {DT_TEXT, "text"},
                                          {DT_MIDI, "midi"},
                                          {DT_DOUBLE, "double"},
                                          {DT_BOOL, "bool"},
                                          {DT_AUDIO, "audio"},
                                          {DT_FLOAT, "float"},
                                          {DT_INT, "int"}}};

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::optional<int> DataTypeByName(std::string_view name) {
  for (const auto& t : kTypes)
    if (name == t.name) return t.type;
  return std::nullopt;
}

std::string DataTypeName(int dataType) {
  for (const auto& t : kTypes)
    if (dataType == t.type) return t.name;
  return std::to_string(dataType);
}

std::optional<PlugDirection> DirectionByName(std::string_view name) {
  if (name == "in") return DR_IN;
  if (name == "out") return DR_OUT;
  return std::nullopt;
}

std::string DirectionName(PlugDirection direction) { return direction == DR_OUT ? "out" : "in"; }

std::string Base64Encode(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
    for (int s = 18; s >= 0; s -= 6) out += kAlphabet[(v >> s) & 63];
  }
  if (const std::size_t rest = bytes.size() - i; rest > 0) {
    const std::uint32_t v = (bytes[i] << 16) | (rest == 2 ? bytes[i + 1] << 8 : 0);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> Base64Decode(std::string_view text) {
  std::vector<std::uint8_t> out;
  std::uint32_t bits = 0;
  int count = 0;
  bool padding = false;
  for (char c : text) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    if (c == '=') {
      padding = true;
      continue;
    }
    const int v = Base64Value(c);
    if (v < 0 || padding) return std::nullopt;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    if (++count == 4) {
      out.push_back(static_cast<std::uint8_t>(bits >> 16));
      out.push_back(static_cast<std::uint8_t>(bits >> 8));
      out.push_back(static_cast<std::uint8_t>(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count == 1) return std::nullopt;
  if (count == 2) out.push_back(static_cast<std::uint8_t>(bits >> 4));
  if (count == 3) {
    out.push_back(static_cast<std::uint8_t>(bits >> 10));
    out.push_back(static_cast<std::uint8_t>(bits >> 2));
  }
  return out;
}

namespace {
struct ControllerClass {
  std::string_view word;
  std::int32_t base;
  std::int32_t last;
};
constexpr ControllerClass kControllerClasses[] = {{"CC", 0x2000000, 127}, {"RPN", 0x3000000, 16383}, {"NRPN", 0x4000000, 16383}};
}  // namespace

std::optional<std::int32_t> ControllerByName(std::string_view name) {
  if (name == "none") return -1;
  if (name == "learn") return -2;
  for (const ControllerClass& c : kControllerClasses) {
    if (name.size() <= c.word.size() + 1 || name.substr(0, c.word.size()) != c.word || name[c.word.size()] != ' ')
      continue;
    const std::string_view digits = name.substr(c.word.size() + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const int number = std::stoi(std::string(digits));
    if (number > c.last) return std::nullopt;
    return c.base + number;
  }
  return std::nullopt;
}

std::string ControllerName(std::int32_t identifier) {
  if (identifier == -1) return "none";
  if (identifier == -2) return "learn";
  for (const ControllerClass& c : kControllerClasses) {
    const std::int32_t number = identifier - c.base;
    if (number >= 0 && number <= c.last) return std::string(c.word) + " " + std::to_string(number);
  }
  return std::to_string(identifier);
}

namespace {
constexpr std::int32_t kHostedNrpn = 99, kHostedRpn = 101;
std::int32_t BindingWord(std::int32_t controller, std::int32_t number) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(controller) & 0xFFFFu) << 16 |
                                   (static_cast<std::uint32_t>(number) & 0xFFFFu));
}
}  // namespace

std::optional<std::int32_t> HostedBindingWord(std::int32_t id) {
  if (id == -1) return kNoHostedBinding;
  const auto [cc, rpn, nrpn] = kControllerClasses;
  if (id >= cc.base && id <= cc.base + cc.last) return BindingWord(id - cc.base, 0);
  if (id >= rpn.base && id <= rpn.base + rpn.last) return BindingWord(kHostedRpn, id - rpn.base);
  if (id >= nrpn.base && id <= nrpn.base + nrpn.last) return BindingWord(kHostedNrpn, id - nrpn.base);
  return std::nullopt;
}

std::int32_t ControllerOfHostedBinding(std::int32_t word) {
  const auto controller = static_cast<std::int16_t>(static_cast<std::uint32_t>(word) >> 16);
  const std::int32_t number = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) & 0xFFFFu);
  const auto [cc, rpn, nrpn] = kControllerClasses;
  if (controller == kHostedNrpn) return nrpn.base + number;
  if (controller == kHostedRpn) return rpn.base + number;
  if (controller >= 0 && controller <= cc.last) return cc.base + controller;
  return -1;
}

}  // namespace patchtext

}  // namespace kr
