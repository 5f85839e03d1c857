// The document version of the stream being loaded. Process-wide because
// every load routine consults it; loads are not re-entrant.
#pragma once

namespace kr {

inline constexpr int kCurrentDocumentVersion = 95710;

int DocumentVersion();
void SetDocumentVersion(int version);

// Sets the version for the life of one load and puts back the current
// version however the load ends.
class DocumentVersionScope {
 public:
  DocumentVersionScope() = default;
  ~DocumentVersionScope() { SetDocumentVersion(kCurrentDocumentVersion); }
  DocumentVersionScope(const DocumentVersionScope&) = delete;
  DocumentVersionScope& operator=(const DocumentVersionScope&) = delete;
};

}  // namespace kr
