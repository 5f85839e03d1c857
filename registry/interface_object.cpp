#include "registry/interface_object.h"

#include <cstdint>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "registry/input_array.h"
#include "registry/midi_link.h"

namespace kr {

namespace {

std::vector<std::type_index>& AcceptedTypes() {
  static std::vector<std::type_index> types{
      typeid(float),       typeid(double),          typeid(std::int16_t),    typeid(std::int32_t),
      typeid(bool),        typeid(float*),          typeid(BaseInputArray),
      typeid(std::string), typeid(MidiInEndpoint),  typeid(MidiOutEndpoint),
  };
  return types;
}

void ReportUnknownType(const std::type_info& type) {
  platform::ShowMessageBox({std::string("ERROR InterfaceObject::checkpointer Unknown plug type!! ") + type.name(), {},
                            platform::MessageIcon::Error});
}

// The one variable type the engine writes for each value type; the engine
// stores through the binding with exactly this width.
const std::type_info* ValueTypeOf(PlugDataType dataType) {
  switch (dataType) {
    case DT_ENUM: return &typeid(std::int16_t);
    case DT_TEXT: return &typeid(std::string);
    case DT_DOUBLE: return &typeid(double);
    case DT_BOOL: return &typeid(bool);
    case DT_FLOAT: return &typeid(float);
    case DT_INT: return &typeid(std::int32_t);
    default: return nullptr;
  }
}

}  // namespace

bool InterfaceObject::checkpointer(const std::type_info& type) {
  for (const std::type_index& accepted : AcceptedTypes())
    if (accepted == std::type_index(type)) return true;
  ReportUnknownType(type);
  return false;
}

void InterfaceObject::AcceptBoundType(const std::type_info& type) {
  for (const std::type_index& accepted : AcceptedTypes())
    if (accepted == std::type_index(type)) return;
  AcceptedTypes().emplace_back(type);
}

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
  if (boundType == nullptr) return;
  if (!checkpointer(*boundType)) return;
  // A known type that is not the one this data type is stored as would be
  // written with the wrong width: report it and keep the binding away.
  const std::type_info* expected = ValueTypeOf(dataType);
  if (expected != nullptr && valueBinding != nullptr && *expected != *boundType) {
    ReportUnknownType(*boundType);
    valueBinding = nullptr;
  }
}

}  // namespace kr
