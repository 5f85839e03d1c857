// The message rings between the audio and GUI sides: capacity, overflow,
// text bodies and the GUI pump.
#include <gtest/gtest.h>

#include <thread>

#include "engine/dsp_to_ui_que.h"
#include "engine/gui_pump.h"
#include "engine/msg_id.h"
#include "engine/msg_stream.h"
#include "engine/msg_text.h"
#include "engine/ug_base.h"
#include "engine/ui_msg_target.h"
#include "engine/audio_master.h"
#include "platform/platform.h"
#include "support/message_capture.h"

using namespace kr;

namespace {

struct ConsoleRecorder final : ui_msg_target {
  void OnDspMessage(std::int32_t id, my_input_stream& stream) override {
    ids.push_back(id);
    texts.push_back(ReadPrintLine(stream));
  }
  std::vector<std::int32_t> ids;
  std::vector<std::string> texts;
};

struct Ticker final : Refreshable {
  bool PeriodicUpdate() override { return ++calls < 3; }
  int calls = 0;
};

struct NoHost final : AudioMasterHost {
  const vst::VstTimeInfo* GetHostTime(std::int32_t) override { return nullptr; }
  double SampleRate() const override { return 44100.0; }
  void PostMessageBox(std::string_view text, std::int32_t style) override { pump->PostMessageBox(text, style); }
  GuiPump* pump = nullptr;
};

struct Named final : ug_base {
  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<Named>(); }
};

}  // namespace

TEST(MessageIds, FourCharactersPackBigEndianIntoTheWord) {
  EXPECT_EQ(MsgId("noti"), ('n' << 24) | ('o' << 16) | ('t' << 8) | 'i');
  EXPECT_EQ(MsgId("ppc"), ('p' << 24) | ('p' << 16) | ('c' << 8));
}

TEST(Rings, A4096ByteRingHoldsAtMost4095Bytes) {
  FifoWaitPolicy policy;
  policy.writeWaits = 0;
  int fullCalls = 0;
  struct Counting final : lock_free_fifo {
    Counting(FifoWaitPolicy p, int& n) : lock_free_fifo(4096, p), count(n) {}
    void QueueFull() override { ++count; }
    int& count;
  } ring(policy, fullCalls);
  for (int i = 0; i < 4095; ++i) ring.WriteByte(static_cast<std::uint8_t>(i));
  EXPECT_TRUE(ring.IsFull());
  EXPECT_EQ(fullCalls, 0);
  ring.WriteByte(0xAB);
  EXPECT_EQ(fullCalls, 1);
  EXPECT_EQ(ring.UsedBytes(), 4095);
  EXPECT_EQ(ring.ReadByte(), 0);
  EXPECT_EQ(ring.ReadByte(), 1);
}

TEST(Rings, TextBodyCarriesCountThenUtf16UnitsAndRoundTrips) {
  dsp_to_ui_que q;
  my_msg_que_output_stream out(q);
  WriteMsgText(out, "A\xC3\xA9");  // "Aé"
  out.Send();
  EXPECT_EQ(q.UsedBytes(), 4 + 3 * 2);
  my_msg_que_input_stream in(q);
  std::uint8_t bytes[10];
  for (auto& b : bytes) in >> b;
  EXPECT_EQ(bytes[0], 3);
  EXPECT_EQ(bytes[4], 'A');
  EXPECT_EQ(bytes[6], 0xE9);
  EXPECT_EQ(bytes[8], 0);

  my_msg_que_output_stream again(q);
  WriteMsgText(again, "line \xF0\x9F\x8E\xB9 end\n\n");
  again.Send();
  EXPECT_EQ(ReadPrintLine(in), "line \xF0\x9F\x8E\xB9 end");
}

TEST(Rings, DamagedTextCountNeverReadsPastTheRing) {
  dsp_to_ui_que q;
  my_msg_que_output_stream out(q);
  out << std::int32_t{0x7FFFFFFF} << std::uint8_t{'x'} << std::uint8_t{0};
  out.Send();
  my_msg_que_input_stream in(q);
  EXPECT_EQ(ReadMsgText(in), "x");
  EXPECT_TRUE(q.IsEmpty());
}

TEST(GuiPump, DeliversPrintTextToItsTargetAndVisitsTheRefreshList) {
  GuiPump pump;
  ConsoleRecorder console;
  Ticker ticker;
  pump.AddToRefreshList(&ticker);
  pump.PostText(console.Handle(), kMsgPrint, "hello\n");
  pump.Pump();
  ASSERT_EQ(console.texts.size(), 1u);
  EXPECT_EQ(console.ids[0], kMsgPrint);
  EXPECT_EQ(console.texts[0], "hello");
  pump.Pump();
  pump.Pump();
  pump.Pump();
  EXPECT_EQ(ticker.calls, 3);  // dropped after it answered false
}

TEST(GuiPump, AfterOverflowNothingIsDeliveredUntilThePumpRanThenTheNextArrivesWhole) {
  GuiPump pump;
  ConsoleRecorder console;
  const std::string chunk(400, 'x');
  pump.PostText(console.Handle(), kMsgPrint, "before");
  while (!pump.Queue().Overflowed()) pump.PostText(console.Handle(), kMsgPrint, chunk);
  pump.PostText(console.Handle(), kMsgPrint, "during");
  pump.Pump();
  EXPECT_TRUE(console.texts.empty());
  EXPECT_FALSE(pump.Queue().Overflowed());
  pump.PostText(console.Handle(), kMsgPrint, "after");
  pump.Pump();
  ASSERT_EQ(console.texts.size(), 1u);
  EXPECT_EQ(console.texts[0], "after");
}

TEST(GuiPump, UnknownHandleDropsTheRestInsteadOfMisreadingIt) {
  GuiPump pump;
  std::int32_t stale = 0;
  {
    ConsoleRecorder gone;
    stale = gone.Handle();
  }
  ConsoleRecorder console;
  pump.PostText(stale, kMsgPrint, "lost");
  pump.PostText(console.Handle(), kMsgPrint, "also lost");
  pump.Pump();
  EXPECT_TRUE(console.texts.empty());
  pump.PostText(console.Handle(), kMsgPrint, "fine");
  pump.Pump();
  EXPECT_EQ(console.texts, std::vector<std::string>{"fine"});
}

TEST(GuiPump, ModuleMessageBoxIsPrefixedWithItsName) {
  GuiPump pump;
  NoHost host;
  host.pump = &pump;
  KrAudioMaster master(host, pump.Handle());
  Named module;
  module.title = "Osc 1";
  module.audioMaster = &master;
  {
    krtest::MessageCapture shown;
    module.MessageBox("file missing");
    EXPECT_TRUE(shown.texts.empty());  // shown only on the GUI thread's pump
    pump.Pump();
    EXPECT_EQ(shown.texts, std::vector<std::string>{"Osc 1 : file missing"});
  }
  module.audioMaster = nullptr;
}

TEST(GuiPump, MessagesPostedOnAnotherThreadArriveWholeAndInOrder) {
  GuiPump pump;
  ConsoleRecorder console;
  std::thread audio([&] {
    for (int i = 0; i < 200; ++i) pump.PostText(console.Handle(), kMsgPrint, "m" + std::to_string(i));
  });
  while (console.texts.size() < 200 && !pump.Queue().Overflowed()) pump.Pump();
  audio.join();
  pump.Pump();
  for (std::size_t i = 0; i < console.texts.size(); ++i) EXPECT_EQ(console.texts[i], "m" + std::to_string(i));
}

TEST(GuiToDsp, AFullRingStopsDeferringAndDispatchesOnTheWritingThread) {
  NoHost host;
  GuiPump pump;
  host.pump = &pump;
  KrAudioMaster master(host, pump.Handle());
  Named module;
  module.audioMaster = &master;
  master.running.store(true);
  master.deferToAudio.store(true);
  // Each "noti" is 8 + 20 bytes or more; far more than 4095 bytes' worth.
  for (int i = 0; i < 300; ++i) module.PostNotify(2, i);
  EXPECT_FALSE(master.deferToAudio.load());
  EXPECT_FALSE(module.events.empty());  // at least one was handled here, on this thread
  master.running.store(false);
  module.ClearEvents();
  module.audioMaster = nullptr;
}
