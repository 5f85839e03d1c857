// Walks over named parameters, with the protocol of the tree iterators:
// for (it.First(); !it.AtEnd(); it.Next()) use(it.Current()).
// The parameters and the tree must not change during a walk.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "document/container.h"
#include "document/iterators.h"
#include "document/generic_parameter.h"

namespace kr {

// A given list of parameters, in order.
class it_parameter_list {
 public:
  explicit it_parameter_list(std::span<generic_parameter* const> list) : list_(list) {}
  void First() { index_ = 0; }
  void Next() { ++index_; }
  bool AtEnd() const { return index_ >= list_.size(); }
  generic_parameter* Current() const { return list_[index_]; }

 private:
  std::span<generic_parameter* const> list_;
  std::size_t index_ = 0;
};

// The plugs of one module, each a parameter, in plug order.
class it_parameter_cug_plugs {
 public:
  explicit it_parameter_cug_plugs(const CUG& module) : module_(module) {}
  void First() { index_ = 0; }
  void Next() { ++index_; }
  bool AtEnd() const { return index_ >= module_.Plugs().size(); }
  generic_parameter* Current() const { return module_.Plugs()[index_].get(); }

 private:
  const CUG& module_;
  std::size_t index_ = 0;
};

// The named parameters of a container ("Title", "Skin", "Program",
// "Program Name"), then those of each module among its children, in
// children order. Nested containers are not entered.
class it_parameter_container {
 public:
  explicit it_parameter_container(const CContainer& container) : container_(container) {}
  void First() {
    owners_.clear();
    owners_.push_back(&container_);
    ForEachModule(container_, [this](const CUG& m) { owners_.push_back(&m); });
    owner_ = 0;
    index_ = 0;
    Settle();
  }
  void Next() {
    ++index_;
    Settle();
  }
  bool AtEnd() const { return owner_ >= owners_.size(); }
  generic_parameter* Current() const { return owners_[owner_]->ParameterAt(index_); }

 private:
  void Settle() {
    while (owner_ < owners_.size() && index_ >= owners_[owner_]->ParameterCount()) {
      ++owner_;
      index_ = 0;
    }
  }
  const CContainer& container_;
  std::vector<const CUG*> owners_;
  std::size_t owner_ = 0;
  int index_ = 0;
};

// The host-visible parameters. The document side offers none to the host
// yet (the top container's collection is empty), so this walk is empty; it
// keeps the protocol for the code that will fill it.
class it_parameter_vst {
 public:
  explicit it_parameter_vst(const CContainer&) {}
  void First() {}
  void Next() {}
  bool AtEnd() const { return true; }
  generic_parameter* Current() const { return nullptr; }
};

}  // namespace kr
