#include "registry/interface_object.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "message_capture.h"

namespace {

TEST(InterfaceObject, AudioInputsWithoutSignalFlagAreControls) {
  InterfaceObject plain(nullptr, nullptr, "Pitch", DR_IN, DT_AUDIO, "5", "", 0);
  EXPECT_EQ(plain.flags, static_cast<std::uint32_t>(PF_CONTROL));
  InterfaceObject signal(nullptr, nullptr, "Signal", DR_IN, DT_AUDIO, "0", "", PF_SIGNAL);
  EXPECT_EQ(signal.flags, static_cast<std::uint32_t>(PF_SIGNAL));
  InterfaceObject summed(nullptr, nullptr, "In", DR_IN, DT_AUDIO, "0", "", PF_SUM | PF_SIGNAL);
  EXPECT_EQ(summed.flags & PF_CONTROL, 0u);
  // Only audio inputs get the mark.
  EXPECT_EQ(InterfaceObject(nullptr, nullptr, "Out", DR_OUT, DT_AUDIO).flags, 0u);
  EXPECT_EQ(InterfaceObject(nullptr, nullptr, "F", DR_IN, DT_FLOAT).flags, 0u);
  EXPECT_EQ(InterfaceObject(nullptr, nullptr, "P", DR_PARAMETER, DT_AUDIO).flags, 0u);
}

TEST(InterfaceObject, KeepsFieldsInOrderGiven) {
  float* buffer = nullptr;
  std::int16_t choice = 0;
  InterfaceObject record(&choice, &typeid(std::int16_t), "Channel", DR_IN, DT_ENUM, "-1", "All=-1,1,2", 0x3,
                         "MIDI Channel", &buffer);
  EXPECT_EQ(record.valueBinding, &choice);
  EXPECT_EQ(record.bufferBinding, &buffer);
  EXPECT_EQ(record.name, "Channel");
  EXPECT_EQ(record.defaultText, "-1");
  EXPECT_EQ(record.listText, "All=-1,1,2");
  EXPECT_EQ(record.hint, "MIDI Channel");
  EXPECT_EQ(record.flags, 0x3u);
  EXPECT_EQ(record.dataType, DT_ENUM);
}

TEST(InterfaceObject, BoundTypeCheck) {
  MessageCapture messages;
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
  MessageCapture messages;
  bool small = false;
  InterfaceObject record(&small, &typeid(bool), "Level", DR_IN, DT_FLOAT);
  EXPECT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(record.valueBinding, nullptr);
}

TEST(InterfaceObject, AcceptedTypesCanBeAdded) {
  struct Internal {};
  EXPECT_FALSE([] {
    MessageCapture quiet;
    return InterfaceObject::checkpointer(typeid(Internal));
  }());
  InterfaceObject::AcceptBoundType(typeid(Internal));
  MessageCapture messages;
  EXPECT_TRUE(InterfaceObject::checkpointer(typeid(Internal)));
  EXPECT_TRUE(messages.texts.empty());
}

}  // namespace
