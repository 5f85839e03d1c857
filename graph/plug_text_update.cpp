#include "graph/plug_text_update.h"

#include <string>

#include "document/cug.h"
#include "document/plug2.h"
#include "engine/msg_text.h"

namespace kr {

void SetPlugText(CUG& module, my_input_stream& body) {
  const std::int32_t index = body.ReadInt();
  const std::string text = ReadMsgText(body);
  const auto& plugs = module.Plugs();
  if (index < 0 || static_cast<std::size_t>(index) >= plugs.size() || plugs[static_cast<std::size_t>(index)] == nullptr)
    return;
  CPlug2& plug = *plugs[static_cast<std::size_t>(index)];
  if (plug.ValueText() != text) plug.SetValueText(text);
}

}  // namespace kr
