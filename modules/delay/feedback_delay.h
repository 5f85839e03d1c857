// "Feedback Delay": one document module, two audio objects, so that a patch
// may close a loop through it. The writer (ug_feedback_delay) copies "Audio
// In" into a block it shares with the reader; the reader
// (ug_feedback_delay_out), which runs before the writer in every sub-block,
// copies that block to its "Audio Out" first. What listeners read is
// therefore always the writer's input of the period before: a delay of
// exactly one sub-block period, whatever order the listeners run in.
#pragma once

#include <memory>
#include <vector>

#include "engine/audio_pair.h"
#include "engine/ug_midi_device.h"

namespace kr {

class ug_feedback_delay_out;

// One half of the pair: marks and voice tags that reach this half pass on to
// the other half, once per change.
template <class Base>
class FeedbackDelayHalf : public Base, public AudioPair {
 public:
  void MarkDownstream() override {
    const bool before = (this->flags & UGF_DOWN_MARK) != 0;
    Base::MarkDownstream();
    if (!before && (this->flags & UGF_DOWN_MARK) != 0) OnPartner([](ug_base& p) { p.MarkDownstream(); });
  }
  void MarkUpstream() override {
    const bool before = (this->flags & UGF_UP_MARK) != 0;
    Base::MarkUpstream();
    if (!before && (this->flags & UGF_UP_MARK) != 0) OnPartner([](ug_base& p) { p.MarkUpstream(); });
  }
  void PropagateVoiceDown(int tag) override {
    const int before = this->voiceTag;
    Base::PropagateVoiceDown(tag);
    if (this->voiceTag != before) OnPartner([tag](ug_base& p) { p.PropagateVoiceDown(tag); });
  }
  void PropagateVoiceUp(int tag) override {
    const int before = this->voiceTag;
    Base::PropagateVoiceUp(tag);
    if (this->voiceTag != before) OnPartner([tag](ug_base& p) { p.PropagateVoiceUp(tag); });
  }

 private:
  template <class Fn>
  void OnPartner(Fn&& fn) {
    ug_base* partner = PairPartner();
    if (partner != nullptr && partner != static_cast<ug_base*>(this)) fn(*partner);
  }
};

// The pair's reader, made for a writer: on its engine and in its container,
// plugs made and allocated.
template <class Reader>
std::unique_ptr<Reader> MakePairReader(const ug_base& writer) {
  auto reader = std::make_unique<Reader>();
  reader->audioMaster = writer.audioMaster;
  reader->container = writer.container;
  reader->CreatePlugs();
  reader->AllocatePlugData();
  return reader;
}

// The reader of a voice copy: every per-voice module of the voice is copied
// before any is wired, so the prototype reader's newest copy is this voice's.
template <class Reader>
Reader* VoiceCopyOf(const Reader* prototypeReader) {
  return prototypeReader != nullptr ? dynamic_cast<Reader*>(prototypeReader->nextClone) : nullptr;
}

class ug_feedback_delay : public FeedbackDelayHalf<ug_midi_device> {
 public:
  enum PlugIndex { PN_IN, PN_OUT, PN_DELAY_TIME };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_feedback_delay>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void OnPlugStateChange(int time, connector* c, PlugState state) override;
  void ConnectClone(ug_base& prototype, int voice) override;

  // AudioPair
  std::unique_ptr<ug_base> MakeReader() override;
  ug_base* PairPartner() const override;
  bool IsPairReader() const override { return false; }

  ug_feedback_delay_out* Reader() const { return reader_; }

 private:
  friend class ug_feedback_delay_out;
  void Link(ug_feedback_delay_out& reader);
  void Copy(int offset, int count);
  void CopySettle(int offset, int count);

  float* in_ = nullptr;
  float* handOn_ = nullptr;  // the block shared with the reader
  ug_feedback_delay_out* reader_ = nullptr;
};

class ug_feedback_delay_out : public FeedbackDelayHalf<ug_base> {
 public:
  enum PlugIndex { PN_UNUSED, PN_OUT, PN_DELAY_TIME };

  std::unique_ptr<ug_base> CreateSame() override { return std::make_unique<ug_feedback_delay_out>(); }
  void ListInterface(InterfaceList& list) override;
  void Open() override;
  void HandleEvent(ug_event* event) override;

  // AudioPair
  ug_base* PairPartner() const override;
  bool IsPairReader() const override { return true; }

  // The block the writer fills and this object hands on; made on first use
  // (when sound starts).
  float* HandOnBlock();
  // The "Delay Time Out" value: L / sample rate * 100 (milliseconds read as volts).
  float DelayTimeValue() const;

 private:
  friend class ug_feedback_delay;
  void Run(int offset, int count);

  std::int16_t unused_ = 0;
  float* out_ = nullptr;
  float* delayTimeOut_ = nullptr;
  std::vector<float> handOn_;
  ug_feedback_delay* writer_ = nullptr;
  bool running_ = false;    // copying every stretch (the writer's input streams)
  int copyCount_ = 0;       // samples still to copy after the input settled
  int delayTimeCount_ = 0;  // samples of "Delay Time Out" still to write
};

}  // namespace kr
