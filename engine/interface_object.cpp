#include "engine/interface_object.h"

#include <utility>

InterfaceObject::InterfaceObject(void* valueBinding_, const std::type_info* boundType, std::string name_,
                                 PlugDirection direction_, PlugDataType dataType_, std::string defaultText_,
                                 std::string listText_, std::uint32_t flags_, std::string hint_,
                                 float** bufferBinding_)
    : bufferBinding(bufferBinding_),
      direction(direction_),
      hint(std::move(hint_)),
      name(std::move(name_)),
      defaultText(std::move(defaultText_)),
      listText(std::move(listText_)),
      flags(flags_),
      dataType(dataType_),
      valueBinding(valueBinding_) {
  // An audio input that says neither "control" nor "signal" is a control input.
  if (direction == DR_IN && dataType == DT_AUDIO && (flags & (PF_CONTROL | PF_SIGNAL)) == 0) flags |= PF_CONTROL;
  (void)boundType;  // the bound-type check arrives with the module registry
}
