// Typed value holders: text conversion and owner notification.
#include <gtest/gtest.h>

#include "document/value_holders.h"

using namespace kr;

namespace {

struct Owner : Notifier, Notifiable {
  int calls = 0;
  void OnNotify(Notifier*, int, void*) override { ++calls; }
};

TEST(ValueHolders, TextFormsFollowTheType) {
  variable<float, MetaData_float> f;
  f.SetText("1.23456");
  EXPECT_EQ(f.GetText(), "1.235");
  variable<short, MetaData_enum> e;
  e.SetText("7");
  EXPECT_EQ(e.GetText(), "7");
  variable<bool, MetaData_none> b;
  b.SetText("3");
  EXPECT_TRUE(b.Get());
  variable<std::string, MetaData_filename> t;
  t.SetText("a b.wav");
  EXPECT_EQ(t.GetText(), "a b.wav");
}

TEST(ValueHolders, AddinTellsItsOwnerOfRealChangesOnly) {
  Owner owner;
  owner.AddObserver(&owner);
  variable_addin<int, MetaData_none> v(owner, NC_PARAMETER_VALUE, 4);
  v.Set(4);
  EXPECT_EQ(owner.calls, 0);
  v.SetText("5");
  EXPECT_EQ(owner.calls, 1);
  EXPECT_EQ(v.Get(), 5);
}

}  // namespace
