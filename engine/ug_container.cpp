#include "engine/ug_container.h"

#include <algorithm>

#include "engine/audio_master.h"
#include "engine/ug_io_mod.h"
#include "engine/ug_patch_param_setter.h"
#include "registry/module_info.h"
#include "registry/module_registry.h"
#include "registry/plug_declaration.h"

namespace kr {

ug_container::ug_container() { SetProcessFunction(&ug_base::SleepCheck); }

ug_container::~ug_container() {
  DestroyVoiceCopies();
  // Modules go before the container's own plugs, newest first, so adders and
  // constant sources leave before the modules they serve.
  while (!owned_.empty()) owned_.pop_back();
}

void ug_container::ListInterface(InterfaceList& list) {
  static constexpr PlugDecl<ug_container> kPlugs[] = {
      {.name = "Spare",
       .direction = DR_CONTAINER_IO,
       .defaultText = "0",
       .flags = PF_RENAME | PF_AUTO_DUPLICATE | PF_VARIABLE_COUNT,
       .hint = "Connection to a module inside"},
      {.name = "Polyphony",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "6",
       .list = "range 1,200",
       .hint = "Limits the number of notes you can play at once. (Changes take "
               "effect next time you re-start the sound)",
       .bind = &ug_container::polyphony},
      {.name = "MIDI Automation",
       .direction = DR_PARAMETER,
       .type = DT_BOOL,
       .flags = PF_HIDDEN,
       .bind = &ug_container::midiAutomation},
      {.name = "Show Controls",
       .direction = DR_PARAMETER,
       .type = DT_ENUM,
       .defaultText = "0",
       .list = "Off,On Panel,On Module",
       .flags = PF_HIDDEN,
       .bind = &ug_container::showControls},
  };
  static_assert(PlugIndicesMatch(kPlugs) && PlugBindingsMatch(kPlugs));
  ListPlugs(list, *this, kPlugs);
}

int ug_container::MaxVoices() const { return std::clamp<int>(polyphony, 1, kMaxPolyphony); }

ug_base* ug_container::AddModule(std::unique_ptr<ug_base> module, ug_container* owner) {
  ug_base* raw = module.get();
  raw->container = owner != nullptr ? owner : this;
  if (raw->audioMaster == nullptr) raw->audioMaster = audioMaster;
  FirstVoice().modules.push_back(raw);
  owned_.push_back(std::move(module));
  return raw;
}

void ug_container::Open() {
  ug_base::Open();
  SetProcessFunction(&ug_base::SleepCheck);
  OpenVoices(audioMaster);
}

void ug_container::Close() {
  CloseVoices();
  ug_base::Close();
}

void ug_container::HandleEvent(ug_event* event) {
  if (event->type == UET_PROG_CHANGE) {
    const int end = audioMaster != nullptr ? audioMaster->subBlockEnd : event->time;
    VoiceList::ProgramChange(end, static_cast<std::int16_t>(event->value), automation);
    return;
  }
  ug_base::HandleEvent(event);
}

ug_base* ug_container::MakeModule(const char* registryName) {
  Module_Info* entry = ModuleRegistry::Get().FindByName(registryName);
  if (entry == nullptr) return nullptr;
  std::unique_ptr<ug_base> made = entry->MakeAudioObject();
  if (made == nullptr) return nullptr;
  made->audioMaster = audioMaster;
  made->CreatePlugs();
  made->AllocatePlugData();
  return Target().AddModule(std::move(made), this);
}

ug_base* ug_container::ConstantSourceModule(bool patchValue) {
  // Patch values have a holder of their own, which MIDI automation can order
  // after the automator; other constants live on the I/O module.
  if (patchValue) {
    if (patchSetter == nullptr) {
      auto made = std::make_unique<ug_patch_param_setter>();
      made->audioMaster = audioMaster;
      made->sortOrder = -1;
      patchSetter = Target().AddModule(std::move(made), this);
    }
    return patchSetter;
  }
  if (ioModule != nullptr) return ioModule;
  for (ug_base* m : Target().FirstVoice().modules) {
    if ((m->flags & UGF_IO_MOD) != 0 && m->container == this) return ioModule = m;
  }
  auto made = std::make_unique<ug_io_mod>();
  made->AllocatePlugData();
  made->sortOrder = -1;
  return ioModule = Target().AddModule(std::move(made), this);
}

ug_base* ug_container::CreateCombiner(PlugDataType type) {
  const char* name = type == DT_MIDI ? "MIDI Adder2" : "Float Adder";
  if (type != DT_MIDI && type != DT_AUDIO) return nullptr;
  Module_Info* entry = ModuleRegistry::Get().FindByName(name);
  if (entry == nullptr) return nullptr;
  std::unique_ptr<ug_base> adder = entry->MakeAudioObject();
  if (adder == nullptr) return nullptr;
  adder->audioMaster = audioMaster;
  adder->CreatePlugs();
  adder->AllocatePlugData();
  return Target().AddModule(std::move(adder), this);
}

void ug_container::CollectModules(std::vector<ug_base*>& out) {
  // Voices beyond 0 hold modules of their own only for a drum trigger.
  for (auto& voice : voices) {
    for (ug_base* m : voice->modules) {
      out.push_back(m);
      if (auto* inner = dynamic_cast<ug_container*>(m); inner != nullptr && inner != this && inner->IsVoiceContainer())
        inner->CollectModules(out);
    }
  }
}

void ug_container::ModuleHook(ug_base& module, int code) {
  if (code != kHookAttachEnvelope && code != kHookDetachEnvelope) return;
  VoiceNoteSource* source = Target().NoteSourceOfVoice(module.voiceTag);
  if (source == nullptr) return;
  if (code == kHookAttachEnvelope) {
    source->AttachEnvelope(module);
  } else {
    source->DetachEnvelope(module);
  }
}

}  // namespace kr
