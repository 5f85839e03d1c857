// Voice copies of a library module are made through the library again, and
// the library finds the copies of its voice chain through the host callback.
#include <gtest/gtest.h>

#include "external/library_registration.h"
#include "external/module_info_plugin.h"
#include "external/ug_plugin.h"
#include "external_support.h"
#include "registry/module_registry.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

using namespace krtest;
using kr::modlib::Word;

TEST(VoiceCopies, EachCopyHasItsOwnRecordAndPlugsAndTheChainLinksThem) {
  {
    krtest::MessageCapture quiet;  // a copy another test registered may be found twice
    kr::RegisterModuleLibrary(Built("TestGain.krm").string());
  }
  auto* entry = dynamic_cast<kr::Module_Info_Plugin*>(ModuleRegistry::Get().FindByName("Test Gain"));
  ASSERT_NE(entry, nullptr);
  std::unique_ptr<kr::ug_plugin> prototype = kr::ug_plugin::Make(*entry);
  ASSERT_NE(prototype, nullptr);
  prototype->CreatePlugs();
  prototype->AllocatePlugData();
  std::unique_ptr<ug_base> copy = prototype->Clone();
  auto* voice = dynamic_cast<kr::ug_plugin*>(copy.get());
  ASSERT_NE(voice, nullptr);
  EXPECT_TRUE(voice->HasRecord());
  EXPECT_NE(voice->Record(), prototype->Record());
  EXPECT_EQ(voice->PlugCount(), 3);

  Word next = 0;
  EXPECT_EQ(prototype->HostCall(kr::modlib::kHostNextVoiceRecord, 0, 0, &next, 0.0f), 1);
  EXPECT_EQ(next, reinterpret_cast<Word>(voice->Record()));
  EXPECT_EQ(voice->HostCall(kr::modlib::kHostNextVoiceRecord, 0, 0, &next, 0.0f), 1);
  EXPECT_EQ(next, 0);
  // Without a document module the first of the chain is the object itself.
  Word first = 0;
  EXPECT_EQ(voice->HostCall(kr::modlib::kHostFirstVoiceRecord, 0, 0, &first, 0.0f), 1);
  EXPECT_EQ(first, reinterpret_cast<Word>(voice->Record()));
  EXPECT_EQ(voice->HostCall(kr::modlib::kHostFirstVoiceRecord, 0, 0, nullptr, 0.0f), 0);
  // Each copy binds its plugs to its own record's variables.
  EXPECT_NE(voice->plugs[1]->data, prototype->plugs[1]->data);
}

TEST(VoiceCopies, AnObjectWithoutALibraryModuleListsPlaceholderPlugsAndAnswersNothing) {
  kr::ug_plugin empty(nullptr);
  InterfaceList plugs;
  empty.ListInterface(plugs);
  ASSERT_EQ(plugs.size(), 20u);
  EXPECT_EQ(plugs[0].direction, DR_CONTAINER_IO);
  EXPECT_EQ(plugs[0].dataType, DT_AUDIO);
  EXPECT_EQ(plugs[0].defaultText, "0");
  EXPECT_EQ(plugs[0].flags, 0x44u);
  EXPECT_EQ(empty.Dispatch(kr::modlib::kOpCanSleep), 0);
  EXPECT_EQ(empty.HostCall(kr::modlib::kHostVersion, 0, 0, nullptr, 0.0f), kr::modlib::kHostVersionNumber);
  EXPECT_EQ(empty.HostCall(11, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(empty.HostCall(23, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(empty.HostCall(kr::modlib::kHostIsConnected, 0, 0, nullptr, 0.0f), 0);
}

}  // namespace
