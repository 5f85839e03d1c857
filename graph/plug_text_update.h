// The GUI side of "updt": an audio module reports a plug's value as text,
// and the document module's plug of that index shows it.
#pragma once

#include "document/cug.h"
#include "engine/msg_stream.h"

namespace kr {

// Reads the message body (plug index, text) and sets the plug's text when
// it differs; an index outside the module's plugs is ignored.
void SetPlugText(CUG& module, my_input_stream& body);

}  // namespace kr
