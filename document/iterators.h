// Walks over the document tree. All share one protocol: First, Next,
// AtEnd, Current. The tree must not change during a walk.
#pragma once

#include <cstddef>
#include <vector>

#include "document/container.h"

namespace kr {

// The children of one container, in list order.
class it_doc_ob {
 public:
  explicit it_doc_ob(const CContainer& container) : container_(container) {}
  void First() { index_ = 0; }
  void Next() { ++index_; }
  bool AtEnd() const { return index_ >= container_.Children().size(); }
  CDocOb* Current() const { return container_.Children()[index_].get(); }

 private:
  const CContainer& container_;
  std::size_t index_ = 0;
};

// Every object of a container and of all containers nested in it, depth
// first: a nested container is visited before its own children.
class it_imbedded_doc_ob_recursive {
 public:
  explicit it_imbedded_doc_ob_recursive(const CContainer& container) : root_(container) {}
  void First() {
    stack_.clear();
    stack_.push_back({&root_, 0});
    Settle();
  }
  void Next() {
    CDocOb* current = Current();
    ++stack_.back().index;
    if (auto* inner = DynamicKind<CContainer>(current)) stack_.push_back({inner, 0});
    Settle();
  }
  bool AtEnd() const { return stack_.empty(); }
  CDocOb* Current() const { return stack_.back().container->Children()[stack_.back().index].get(); }

 private:
  void Settle() {
    while (!stack_.empty() && stack_.back().index >= stack_.back().container->Children().size()) stack_.pop_back();
  }
  struct Level {
    const CContainer* container;
    std::size_t index;
  };
  const CContainer& root_;
  std::vector<Level> stack_;
};

// The modules (CUG or derived) among a container's children.
template <class Fn>
void ForEachModule(const CContainer& container, Fn&& fn) {
  for (const auto& child : container.Children())
    if (auto* module = DynamicKind<CUG>(child.get())) fn(*module);
}

}  // namespace kr
