#include "registry/item_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace kr;

namespace {

using Items = std::vector<std::pair<std::string, int>>;

Items Walk(std::string_view text) {
  Items items;
  EnumListIterator it(text);
  for (it.First(); !it.IsDone(); it.Next()) {
    EXPECT_EQ(it.CurrentIndex(), static_cast<int>(items.size()));
    items.emplace_back(it.CurrentLabel(), it.CurrentValue());
  }
  EXPECT_EQ(it.size(), static_cast<int>(items.size())) << text;
  return items;
}

TEST(ItemList, ListValuesContinueFromThePreviousItem) {
  EXPECT_EQ(Walk("None=10,0=0,1,2,3,4,5,6,7"),
            (Items{{"None", 10}, {"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7}}));
  EXPECT_EQ(Walk("Exponential=1,Linear,Decibel,Decibel (old)=0"),
            (Items{{"Exponential", 1}, {"Linear", 2}, {"Decibel", 3}, {"Decibel (old)", 0}}));
  EXPECT_EQ(Walk("1 Hz=1,5 Hz=5,10 Hz=10,20 Hz=20,40 Hz=40"),
            (Items{{"1 Hz", 1}, {"5 Hz", 5}, {"10 Hz", 10}, {"20 Hz", 20}, {"40 Hz", 40}}));
}

TEST(ItemList, LabelsAreTrimmed) {
  EXPECT_EQ(Walk("Sine, Saw, Ramp, Triangle, Pulse,White Noise,Pink Noise"),
            (Items{{"Sine", 0}, {"Saw", 1}, {"Ramp", 2}, {"Triangle", 3}, {"Pulse", 4}, {"White Noise", 5},
                   {"Pink Noise", 6}}));
  EXPECT_EQ(Walk(" Volts DC (Fast) = 7 ,x"), (Items{{"Volts DC (Fast)", 7}, {"x", 8}}));
}

TEST(ItemList, MidiChannelListHoldsChannelsFromZero) {
  const Items items = Walk("All=-1,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16");
  ASSERT_EQ(items.size(), 17u);
  EXPECT_EQ(items[0], (std::pair<std::string, int>{"All", -1}));
  EXPECT_EQ(items[1], (std::pair<std::string, int>{"1", 0}));
  EXPECT_EQ(items[16], (std::pair<std::string, int>{"16", 15}));
}

TEST(ItemList, Ranges) {
  const Items small = Walk("range 0,12");
  ASSERT_EQ(small.size(), 13u);
  EXPECT_EQ(small.front(), (std::pair<std::string, int>{"0", 0}));
  EXPECT_EQ(small.back(), (std::pair<std::string, int>{"12", 12}));

  const Items big = Walk("range 1,200");
  ASSERT_EQ(big.size(), 200u);
  EXPECT_EQ(big.front().second, 1);
  EXPECT_EQ(big.back(), (std::pair<std::string, int>{"200", 200}));
  EXPECT_TRUE(EnumListIterator("range 0,7").IsRange());
}

TEST(ItemList, DegenerateTextsYieldNothing) {
  EXPECT_TRUE(Walk("range 7,0").empty());  // low above high
  EXPECT_TRUE(Walk("").empty());
  EXPECT_EQ(Walk("a,b,").size(), 2u);  // a trailing comma starts no item
  EXPECT_EQ(Walk("=5").front(), (std::pair<std::string, int>{"=5", 0}));  // "=" first is part of the label
  EXPECT_EQ(Walk("range 2147483646,2147483647").size(), 2u);  // no overflow at the top
  EXPECT_EQ(Walk("x=99999999999999").front().second, 2147483647);
}

TEST(ItemList, LabelLookupAndMembership) {
  EXPECT_EQ(LabelOfValue("None=10,0=0,1,2", 10), "None");
  EXPECT_EQ(LabelOfValue("None=10,0=0,1,2", 2), "2");
  EXPECT_EQ(LabelOfValue("None=10,0=0,1,2", 3), "");
  EXPECT_EQ(LabelOfValue("a=1,b=1", 1), "a");  // first match
  EXPECT_EQ(LabelOfValue("range 0,7", 99), "99");
  EXPECT_TRUE(IsValueInList("range 1,200", 200));
  EXPECT_FALSE(IsValueInList("range 1,200", 0));
  EXPECT_TRUE(IsValueInList("All=-1,1,2", -1));
  EXPECT_FALSE(IsValueInList("All=-1,1,2", 2));
  EXPECT_TRUE(IsAutoList("{AUTO}"));
  EXPECT_FALSE(IsAutoList("{auto}"));
}

TEST(ItemList, FirstRestartsTheWalk) {
  EnumListIterator it("a,b");
  it.First();
  it.Next();
  it.Next();
  EXPECT_TRUE(it.IsDone());
  it.First();
  EXPECT_EQ(it.CurrentLabel(), "a");
  EXPECT_EQ(it.CurrentValue(), 0);
}

}  // namespace
