#include "graph/engine_error_text.h"

#include "document/container.h"
#include "document/cug.h"
#include "document/line2.h"
#include "engine/ug_base.h"

namespace kr {

namespace {

// An object without a document module (an adder, a constant source) stands
// for the object its last connected output feeds, up to four steps on.
CUG* TraceToModule(ug_base* object) {
  for (int step = 0; object != nullptr && step <= 4; ++step) {
    if (object->docModule != nullptr) return object->docModule;
    ug_base* fed = nullptr;
    for (auto it = object->plugs.rbegin(); it != object->plugs.rend() && fed == nullptr; ++it) {
      if ((*it)->direction != DR_OUT) continue;
      for (connector* c : (*it)->connections)
        if (c->from == it->get() && c->to != nullptr) {
          fed = c->to->owner;
          break;
        }
    }
    object = fed;
  }
  return nullptr;
}

std::string ContainerTitle(const CUG& module) { return module.Parent() != nullptr ? module.Parent()->Title() : ""; }

bool WireRunsFrom(const CUG& from, const CUG& to) {
  for (const auto& plug : from.Plugs())
    for (const CLine2* wire : plug->Wires())
      if (wire->From() == plug.get() && wire->To() != nullptr && wire->To()->Owner() == &to) return true;
  return false;
}

std::string Format(const char* pattern, std::initializer_list<std::string> args) {
  std::string out;
  auto arg = args.begin();
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's' && arg != args.end()) {
      out += *arg++;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

std::string EngineErrorText(const KrException& error) {
  switch (error.code) {
    case KR_ERR_FEEDBACK: {
      CUG* a = TraceToModule(error.first);
      CUG* b = TraceToModule(error.second);
      if (a == nullptr || b == nullptr) return "This patch contains a FEEDBACK path, Please remove.";
      const std::string red = WireRunsFrom(*b, *a) ? " (highlighed in red)" : "";
      return Format("This patch contains a FEEDBACK path%s, Please remove.\n %s.%s -> %s.%s",
                    {red, ContainerTitle(*a), a->Title(), ContainerTitle(*b), b->Title()});
    }
    case KR_ERR_NOTE_SOURCES:
      return "ERROR: You have more than one 'MidiToCv', 'Soundfont Player', or 'Drum Trigger' in same container (or "
             "in a sub-container).";
    default:
      return error.what();
  }
}

}  // namespace kr
