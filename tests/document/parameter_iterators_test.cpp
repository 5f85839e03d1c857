// The parameter walks share the tree iterators' protocol.
#include <gtest/gtest.h>

#include "document/parameter_iterators.h"
#include "support/params_support.h"

using namespace kr;

using namespace krtest;

namespace {

template <class It>
std::vector<std::string> Names(It it) {
  std::vector<std::string> names;
  for (it.First(); !it.AtEnd(); it.Next()) names.push_back(it.Current()->Name());
  return names;
}

TEST(ParameterIterators, ContainerWalksItsOwnThenItsModules) {
  auto root = MakeContainer("Root");
  CContainer& nested = AddContainer(*root, "Nested");
  AddControl(nested, SliderClass(), "Deep");
  root->AddChild(std::make_unique<CUG>(&PlugTestEntry()));
  const std::vector<std::string> expected = {"Title",   "Skin",           "Program",
                                             "Program Name", "Title",     // the module
                                             "Title",   "Skin",           "Program", "Program Name"};  // nested
  EXPECT_EQ(Names(it_parameter_container(*root)), expected);
  // First starts again.
  it_parameter_container it(*root);
  it.First();
  it.Next();
  it.First();
  EXPECT_EQ(it.Current()->Name(), "Title");
}

TEST(ParameterIterators, PlugsListsAndTheHostSet) {
  CUG module(&PlugTestEntry());
  EXPECT_EQ(Names(it_parameter_cug_plugs(module)), (std::vector<std::string>{"Wave", "Hold", "Level", "File"}));
  PlainParameter a(0, "0"), b(0, "1");
  std::vector<generic_parameter*> list = {&a, &b};
  it_parameter_list it(list);
  int count = 0;
  for (it.First(); !it.AtEnd(); it.Next()) ++count;
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(Names(it_parameter_list({})).empty());
  auto root = MakeContainer("Root");
  EXPECT_TRUE(Names(it_parameter_vst(*root)).empty());
}

}  // namespace
