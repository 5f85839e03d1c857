#include "shell/plugin_entry.h"

#include <memory>
#include <new>

#include "shell/kr_vst.h"

namespace kr {

using namespace vst;

AEffect* CreateEffect(audioMasterCallback audioMaster, std::atomic<bool>& constructionFailed,
                      ApplicationFactory makeApplication) {
  if (audioMaster == nullptr || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
    return nullptr;  // not a VST 2 host
  std::unique_ptr<KrVst> effect;
  try {
    if (makeApplication == nullptr) return nullptr;
    std::unique_ptr<KrApplication> app = makeApplication();
    if (app == nullptr) return nullptr;
    effect = std::make_unique<KrVst>(audioMaster, constructionFailed, std::move(app));
  } catch (...) {
    return nullptr;  // out of memory, or anything else: no exception may reach the host
  }
  if (constructionFailed.load(std::memory_order_acquire)) return nullptr;  // destroys the half-built object
  return effect.release()->getAeffect();  // owned by the host until effClose
}

AEffect* PluginMain(audioMasterCallback audioMaster, ApplicationFactory makeApplication) {
  static std::atomic<bool> constructionFailed{false};
  return CreateEffect(audioMaster, constructionFailed, makeApplication);
}

}  // namespace kr
