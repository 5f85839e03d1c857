// The parts of an entry that touch the audio module class.
#include "document/module_info.h"

#include "engine/ug_base.h"

std::unique_ptr<ug_base> Module_Info::MakeAudioObject() {
  if (audioFactory == nullptr) return nullptr;
  return audioFactory(this);
}

void Module_Info::ListPlugsFromAudioClass() {
  std::unique_ptr<ug_base> sample = MakeAudioObject();
  if (!sample) return;
  sample->ListInterface(plugs);
  // The bindings point into the sample object, which is about to go; a live
  // module lists its own plugs when the engine needs bindings.
  for (InterfaceObject& plug : plugs) {
    plug.valueBinding = nullptr;
    plug.bufferBinding = nullptr;
  }
}
