#include "engine/kr_exception.h"

namespace kr {

KrException::KrException(int code_, ug_base* first_, ug_base* second_)
    : code(code_), first(first_), second(second_), text_("Kestrune engine error " + std::to_string(code_)) {}

}  // namespace kr
