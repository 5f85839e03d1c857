#include "shell/application_factory.h"

#include <atomic>

#include "shell/default_application.h"

namespace {

std::unique_ptr<KrApplication> MakeDefaultApplication() { return std::make_unique<DefaultApplication>(); }

std::atomic<ApplicationFactory>& CurrentFactory() {
  static std::atomic<ApplicationFactory> factory{&MakeDefaultApplication};
  return factory;
}

}  // namespace

ApplicationFactory SetApplicationFactory(ApplicationFactory factory) {
  return CurrentFactory().exchange(factory != nullptr ? factory : &MakeDefaultApplication,
                                   std::memory_order_acq_rel);
}

std::unique_ptr<KrApplication> MakeApplication() {
  return CurrentFactory().load(std::memory_order_acquire)();
}
