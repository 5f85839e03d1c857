// Run order and feedback detection over wired audio objects.
#include <gtest/gtest.h>

#include "engine/kr_exception.h"
#include "engine/ug_container.h"
#include "graph/graph_builder.h"
#include "graph_support.h"
#include "registry/module_registry.h"

using namespace kr;

using namespace krtest;

namespace {

// Pass modules in a container, which supplies adders for shared inputs.
struct Chain {
  explicit Chain(int n) {
    for (int i = 0; i < n; ++i) {
      std::unique_ptr<ug_base> m = ModuleRegistry::Get().FindByName(kPass)->MakeAudioObject();
      m->CreatePlugs();
      m->AllocatePlugData();
      objects.push_back(root.AddModule(std::move(m)));
    }
  }
  void Link(int from, int to) { Connect(objects[from]->GetPlug(1), objects[to]->GetPlug(0)); }
  int Order(int i) const { return objects[i]->sortOrder; }
  std::vector<ug_base*> All() {
    std::vector<ug_base*> all;
    root.CollectModules(all);
    return all;
  }
  ug_container root;
  std::vector<ug_base*> objects;
};

}  // namespace

TEST(SortOrder, UpstreamObjectsGetLargerOrdersInStepsOfFour) {
  Chain c(3);
  c.Link(0, 1);
  c.Link(1, 2);
  ComputeSortOrders(c.All());
  EXPECT_EQ(c.Order(2), 0);
  EXPECT_EQ(c.Order(1), 4);
  EXPECT_EQ(c.Order(0), 8);
}

TEST(SortOrder, EarlyFlagAdds200) {
  Chain c(3);
  c.Link(0, 1);
  c.Link(1, 2);
  c.objects[1]->flags |= UGF_SORT_EARLY;
  ComputeSortOrders(c.All());
  EXPECT_EQ(c.Order(2), 0);
  EXPECT_EQ(c.Order(1), 204);
  EXPECT_EQ(c.Order(0), 208);
}

TEST(SortOrder, DiamondRunsEverySourceBeforeWhatItFeeds) {
  Chain c(4);
  c.Link(0, 1);
  c.Link(0, 2);
  c.Link(1, 3);
  c.Link(2, 3);
  ComputeSortOrders(c.All());
  EXPECT_GT(c.Order(0), c.Order(1));
  EXPECT_GT(c.Order(0), c.Order(2));
  EXPECT_GT(c.Order(1), c.Order(3));
  EXPECT_GT(c.Order(2), c.Order(3));
}

TEST(SortOrder, LoopRaisesFeedbackNamingTwoObjectsOfTheLoop) {
  Chain c(3);
  c.Link(0, 1);
  c.Link(1, 2);
  c.Link(2, 1);
  try {
    ComputeSortOrders(c.All());
    FAIL() << "no feedback reported";
  } catch (const KrException& e) {
    EXPECT_EQ(e.code, KR_ERR_FEEDBACK);
    // The loop runs through an adder in front of object 1: any two of its members.
    EXPECT_NE(e.first, nullptr);
    EXPECT_NE(e.second, nullptr);
    EXPECT_NE(e.first, c.objects[0]);
    EXPECT_NE(e.second, c.objects[0]);
  }
}

TEST(SortOrder, SelfLoopNamesTheObjectTwice) {
  Chain c(1);
  c.Link(0, 0);
  try {
    ComputeSortOrders(c.All());
    FAIL() << "no feedback reported";
  } catch (const KrException& e) {
    EXPECT_EQ(e.first, c.objects[0]);
    EXPECT_EQ(e.second, c.objects[0]);
  }
}
