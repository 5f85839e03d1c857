#include "registry/interface_object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/message_capture.h"

using namespace kr;

namespace {

// A plug record's bound member must be of a type its data type allows: a
// wrong or unknown type is reported, and a binding of the wrong width never
// written through. (What each module's records hold is the golden module
// list's to keep.)
TEST(InterfaceObject, BoundTypeCheck) {
  krtest::MessageCapture messages;
  float f = 0;
  double d = 0;
  bool b = false;
  std::int32_t i = 0;
  std::string s;
  InterfaceObject(&f, &typeid(float), "f", DR_IN, DT_FLOAT);
  InterfaceObject(&d, &typeid(double), "d", DR_IN, DT_DOUBLE);
  InterfaceObject(&b, &typeid(bool), "b", DR_IN, DT_BOOL);
  InterfaceObject(&i, &typeid(std::int32_t), "i", DR_IN, DT_INT);
  InterfaceObject(&s, &typeid(std::string), "s", DR_IN, DT_TEXT);
  EXPECT_TRUE(messages.texts.empty());

  long double odd = 0;
  InterfaceObject unknown(&odd, &typeid(long double), "x", DR_IN, DT_FLOAT);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], std::string("ERROR InterfaceObject::checkpointer Unknown plug type!! ") +
                                   typeid(long double).name());
  EXPECT_EQ(unknown.valueBinding, &odd);  // the record stays as built
}

TEST(InterfaceObject, BindingOfTheWrongWidthIsDropped) {
  krtest::MessageCapture messages;
  bool small = false;
  InterfaceObject record(&small, &typeid(bool), "Level", DR_IN, DT_FLOAT);
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(record.valueBinding, nullptr);
}

TEST(InterfaceObject, AcceptedTypesCanBeAdded) {
  struct Internal {};
  EXPECT_FALSE([] {
    krtest::MessageCapture quiet;
    return InterfaceObject::checkpointer(typeid(Internal));
  }());
  InterfaceObject::AcceptBoundType(typeid(Internal));
  krtest::MessageCapture messages;
  EXPECT_TRUE(InterfaceObject::checkpointer(typeid(Internal)));
  EXPECT_TRUE(messages.texts.empty());
}

}  // namespace
