// Text bodies of messages: a count n (UTF-16 units including the final
// zero) and n UTF-16 code units. Written without allocating; read with a
// bound, so a damaged count never reads past the ring's size.
#pragma once

#include <string>
#include <string_view>

namespace kr {

class my_output_stream;
class my_input_stream;

void WriteMsgText(my_output_stream& out, std::string_view utf8);
std::string ReadMsgText(my_input_stream& in);
// Reads into `into`, replacing its text: no allocation while the text fits
// its capacity (the audio side reads into buffers reserved beforehand).
void ReadMsgText(my_input_stream& in, std::string& into);

}  // namespace kr
