// One plug's description in a module's plug list. The same list tells the
// registry, the document and the engine which plugs a module has.
#pragma once

#include <cstdint>
#include <string>
#include <typeinfo>
#include <vector>

#include "registry/plug_types.h"

namespace kr {

enum PlugFlags : std::uint32_t {
  PF_CONTROL = 0x0001,
  PF_KEEP_ON_PATCH_CHANGE = 0x0002,
  PF_RENAME = 0x0004,
  PF_AUTO_DUPLICATE = 0x0008,
  PF_FILENAME = 0x0010,
  PF_OUTPUT_VALUE = 0x0020,
  PF_VARIABLE_COUNT = 0x0040,
  PF_SUM = 0x0080,
  PF_HIDDEN = 0x0100,
  PF_SIGNAL = 0x0200,
  PF_GUI = 0x0400,
  PF_AUTO_LIST = 0x0800,
  PF_SHOW_WHEN_OPEN = 0x1000,
  PF_HIDDEN2 = 0x2000,
  PF_ANY_LIST = 0x4000,
  PF_PATCH_VALUE = 0x8000,
  PF_PATCH_VALUE_IN = 0x10000,
};

class InterfaceObject {
 public:
  // Arguments in the order module plug lists write them. boundType is only
  // used by the bound-type check; it is not stored.
  InterfaceObject(void* valueBinding, const std::type_info* boundType, std::string name, PlugDirection direction,
                  PlugDataType dataType, std::string defaultText = {}, std::string listText = {},
                  std::uint32_t flags = 0, std::string hint = {}, float** bufferBinding = nullptr);

  // The bound-type check: true when a plug may be bound to a variable of
  // this type. Any other type shows "ERROR InterfaceObject::checkpointer
  // Unknown plug type!! " with the type's name.
  static bool checkpointer(const std::type_info& type);
  // Adds a type the check accepts (the internal data objects of modules
  // that bind something other than the plain value types).
  static void AcceptBoundType(const std::type_info& type);

  float** bufferBinding = nullptr;  // member that receives the sample buffer of a DT_AUDIO plug
  PlugDirection direction = DR_IN;
  std::string hint;
  std::string name;
  std::string defaultText;
  std::string listText;
  std::uint32_t flags = 0;
  PlugDataType dataType = DT_AUDIO;
  void* valueBinding = nullptr;  // variable holding the value of a non-audio plug
};

using InterfaceList = std::vector<InterfaceObject>;

}  // namespace kr
