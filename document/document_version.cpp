#include "document/document_version.h"

#include <atomic>

namespace kr {

namespace {
std::atomic<int> g_version{kCurrentDocumentVersion};
}

int DocumentVersion() { return g_version.load(std::memory_order_acquire); }
void SetDocumentVersion(int version) { g_version.store(version, std::memory_order_release); }

}  // namespace kr
