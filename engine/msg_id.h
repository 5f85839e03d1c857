// Four-character message ids packed into 32 bits: ((c0*256 + c1)*256 + c2)*256 + c3,
// each character a signed byte; a three-letter id has 0 as its last character.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kr {

constexpr std::int32_t MakeMsgId(const char* text, std::size_t length) {
  std::uint32_t id = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const signed char c = i < length ? static_cast<signed char>(text[i]) : 0;
    id = id * 256u + static_cast<std::uint32_t>(static_cast<std::int32_t>(c));
  }
  return static_cast<std::int32_t>(id);
}

template <std::size_t N>
constexpr std::int32_t MsgId(const char (&text)[N]) {
  return MakeMsgId(text, N - 1);
}

inline constexpr std::int32_t kMsgNotify = MsgId("noti");
inline constexpr std::int32_t kMsgRefresh = MsgId("refr");
inline constexpr std::int32_t kMsgMessageBox = MsgId("mbox");
inline constexpr std::int32_t kMsgPrint = MsgId("prnt");
inline constexpr std::int32_t kMsgDisplay = MsgId("disp");  // a meter's display value (float)
inline constexpr std::int32_t kMsgCurve = MsgId("curv");  // a drawn curve: count, then that many floats
inline constexpr std::int32_t kMsgPlugText = MsgId("updt");  // a plug's new value as text (plug index, text)
inline constexpr std::int32_t kMsgCommand = MsgId("exec");  // a command line to start (flag, text)
inline constexpr std::int32_t kMsgPatchValue = MsgId("ppc");  // a patch parameter's value (flag, value, program epoch)
inline constexpr std::int32_t kMsgLearnt = MsgId("lern");      // a patch parameter's learnt controller (int32)
inline constexpr std::int32_t kMsgControllerId = MsgId("CCID");  // a patch parameter's controller (int32)
inline constexpr std::int32_t kMsgControlValue = MsgId("ctlv");  // a control's values (GUI to DSP) or a moved value (DSP to GUI)
inline constexpr std::int32_t kMsgBreed = MsgId("gnpg");  // a breeding module's request (kr::BreedRequest, DSP to GUI)

}  // namespace kr
